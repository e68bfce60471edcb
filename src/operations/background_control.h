// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QtGlobal>

#include <memory>

class QAbstractButton;
class QWidget;
class BackgroundWindow;

// Shows and hides the full-screen backdrop from its command button, keeping
// the main window in front and the button's caption telling the next action.
class BackgroundControl : public QObject {
    Q_OBJECT
public:
    BackgroundControl(QAbstractButton* cmdBackShowHide, QWidget* mainWindow,
                      QObject* parent = nullptr);
    ~BackgroundControl() override;

    void cmdBackShowHide_Click();
    BackgroundWindow* window() const { return window_.get(); }

signals:
    // A double click on the backdrop asks to end the program.
    void endRequested();

private:
    void bringMainWindowForward();

    QAbstractButton* button_;
    QWidget* mainWindow_;
    bool BackgroundShown = false; // while the background window is shown
    std::unique_ptr<BackgroundWindow> window_;
};
