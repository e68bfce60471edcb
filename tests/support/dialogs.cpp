// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace {
struct Answered {
    int count = 0;
    QString title, text;
} answered;

void lookForBox(std::function<void(QMessageBox&)> action) {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) {
        QTimer::singleShot(5, [action = std::move(action)] { lookForBox(action); });
        return;
    }
    action(*box);
}
} // namespace

void onNextMessageBox(std::function<void(QMessageBox&)> action) {
    QTimer::singleShot(0, [action = std::move(action)] { lookForBox(action); });
}

MessageBoxAnswerer::MessageBoxAnswerer() {
    answered = {};
    onNextMessageBox([](QMessageBox& box) {
        answered = {answered.count + 1, box.windowTitle(), box.text()};
        box.accept();
    });
}

int MessageBoxAnswerer::count() const {
    return answered.count;
}
QString MessageBoxAnswerer::lastTitle() const {
    return answered.title;
}
QString MessageBoxAnswerer::lastText() const {
    return answered.text;
}
