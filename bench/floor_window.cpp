// SPDX-License-Identifier: GPL-3.0-or-later
// The least a Qt Widgets program does before its window is mapped: one label
// in one window, linked to Qt Widgets alone. Its start next to zerbo's on the
// same X server shows how much of zerbo's start is the window's own.
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("ZERBO"));
    window.resize(300, 100);
    window.show();
    return QApplication::exec();
}
