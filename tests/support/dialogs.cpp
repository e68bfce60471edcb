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

template <typename Window> void lookFor(std::function<void(Window&)> action) {
    auto* window = qobject_cast<Window*>(QApplication::activeModalWidget());
    if (!window) {
        QTimer::singleShot(5, [action = std::move(action)] { lookFor<Window>(action); });
        return;
    }
    action(*window);
}
} // namespace

void onNextMessageBox(std::function<void(QMessageBox&)> action) {
    QTimer::singleShot(0, [action = std::move(action)] { lookFor<QMessageBox>(action); });
}

void onNextDialog(std::function<void(QDialog&)> action) {
    QTimer::singleShot(0, [action = std::move(action)] { lookFor<QDialog>(action); });
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
