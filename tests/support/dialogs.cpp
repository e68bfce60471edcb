#include "dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace {
int answered = 0;
QString title;
QString text;

void watch() {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        ++answered;
        title = box->windowTitle();
        text = box->text();
        box->accept();
        return;
    }
    QTimer::singleShot(5, watch);
}
} // namespace

MessageBoxAnswerer::MessageBoxAnswerer() {
    answered = 0;
    title.clear();
    text.clear();
    QTimer::singleShot(0, watch);
}

int MessageBoxAnswerer::count() const {
    return answered;
}
QString MessageBoxAnswerer::lastTitle() const {
    return title;
}
QString MessageBoxAnswerer::lastText() const {
    return text;
}
