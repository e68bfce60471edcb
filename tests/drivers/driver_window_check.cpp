// SPDX-License-Identifier: GPL-3.0-or-later
// The window's side of the driver test, run inside the guest on a real
// serial driver: receives the table from the board on the host, then sends
// one code continuously (a close and reopen of the port before every byte)
// and ends, which closes the port as the window does.
// Usage: driver_window_check DEVICE OUT_DIR NAME
//   (OUT_DIR/request-key1-NAME asks the host to press key 1 on its board)
#include "program.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: driver_window_check DEVICE OUT_DIR NAME\n");
        return 2;
    }
    const QString request = QStringLiteral("%1/request-key1-%2").arg(argv[2], argv[3]);
    Zerbo zerbo(QString::fromLocal8Bit(argv[1]));
    try {
        // Only an open port takes the table: a real UART drops what comes
        // while nobody listens.
        onceWaiting(zerbo, [&request] { QFile(request).open(QIODevice::WriteOnly); });
        zerbo.Form_Load();
        const int filled = numberedSlots(zerbo.form());
        std::printf("slots filled %d\n", filled);
        zerbo.form().txtO()->setText(QStringLiteral("85"));
        later(3000, [&zerbo] { zerbo.form().cmdStopC()->click(); });
        zerbo.form().cmdSendC()->click();
        std::printf("continuous send stopped\n");
        return filled == 256 ? 0 : 1;
    } catch (const std::exception& error) {
        std::printf("error: %s\n", error.what());
        return 1;
    }
}
