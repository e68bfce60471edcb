// SPDX-License-Identifier: GPL-3.0-or-later
#include "operations/background_control.h"

#include "form/background_window.h"

#include <QAbstractButton>

BackgroundControl::BackgroundControl(QAbstractButton* cmdBackShowHide, QWidget* mainWindow,
                                     QObject* parent)
    : QObject(parent), button_(cmdBackShowHide), mainWindow_(mainWindow) {
}

BackgroundControl::~BackgroundControl() = default;

void BackgroundControl::cmdBackShowHide_Click() {
    if (!BackgroundShown) {
        BackgroundShown = true;
        if (!window_) {
            window_ = std::make_unique<BackgroundWindow>(mainWindow_);
            connect(window_.get(), &BackgroundWindow::endRequested, this,
                    &BackgroundControl::endRequested);
        }
        window_->showFullScreen();
        bringMainWindowForward();
        button_->setText(QStringLiteral("Hide background"));
    } else {
        BackgroundShown = false;
        if (window_)
            window_->hide();
        bringMainWindowForward();
        button_->setText(QStringLiteral("Show background"));
    }
}

void BackgroundControl::bringMainWindowForward() {
    mainWindow_->show();
    mainWindow_->raise();
    mainWindow_->activateWindow();
}
