// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QtGlobal>

#include <memory>

class QAbstractButton;
class HelpWindow;

// Shows and hides the help window from the Help option button. The button is
// unselected after each click so that the next click selects it again and
// comes back here; HelpShown remembers whether help was last shown.
class HelpControl : public QObject {
    Q_OBJECT
public:
    explicit HelpControl(QAbstractButton* optHelp, QObject* parent = nullptr);
    ~HelpControl() override;

    void optHelp_Click();
    HelpWindow* window() const { return window_.get(); }

private:
    void showHelp();

    QAbstractButton* optHelp_;
    bool HelpShown = false; // while the help window is shown
    std::unique_ptr<HelpWindow> window_;
};
