// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// An operation disables its own button while it runs. The window system then
// hands the keyboard focus to the next control in the tab order, often Exit,
// where the next Space ends the program; a window not active at that moment
// gives it there once activated. Instead the window itself keeps the focus
// while the button is disabled (no control has it), and the button gets it
// back once enabled again, unless the user has put the focus somewhere
// meanwhile.
class FocusKeeper : public QObject {
    Q_OBJECT
public:
    explicit FocusKeeper(QWidget& window);

    // The window's focus widget has been disabled under the focus: the window
    // takes the focus instead of passing it on. True when it did so.
    bool keepFromDisabled();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void focusChanged(QWidget* old, QWidget* now);
    void unpark();

    QWidget& window_;
    QPointer<QWidget> parked_; // disabled while it had the focus
};
