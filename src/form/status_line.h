// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStatusBar>

class QLabel;

// The strip under the window's designed controls, one line of text high:
// on the left what ZERBO does or waits for, how far a reception has come,
// how it went, why the port closed, the last error; on the right which
// device is COM1 and why. A text longer than its place is cut with "...",
// the whole of it then in the tool tip. Screen readers hear each change.
class StatusLine : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusLine(QWidget* parent);

    void say(const QString& news);
    void showCom1(const QString& device, const QString& why = {});

    QString news() const { return news_; }
    QString com1() const { return com1_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fit(QLabel* label, const QString& text);

    QLabel* newsLabel_;
    QLabel* com1Label_;
    QString news_, com1_;
};
