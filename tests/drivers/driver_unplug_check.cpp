// SPDX-License-Identifier: GPL-3.0-or-later
// The program's classes on a USB adapter that the host unplugs, run inside
// the driver test's guest; the guest's script watches the process from
// outside (its CPU time, its standard error, its end).
// Usage: driver_unplug_check send|receive DEVICE OUT_DIR
//   send:    a continuous send; OUT_DIR/sending once bytes go out. The error
//            box is answered after a look, which ends the program (status 1).
//   receive: start-up waiting for the table; OUT_DIR/request-unplug-usb asks
//            the host to unplug. Once OUT_DIR/looked appears a code is typed
//            and Exit clicked (status 0).
#include "app/zerbo.h"
#include "app/zerbo_application.h"
#include "program.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <cstdio>

namespace {
constexpr int LookMs = 3000;

void touch(const QString& path) {
    QFile(path).open(QIODevice::WriteOnly);
}

// Polled slowly: the script measures the process's CPU time meanwhile.
void onceFileExists(const QString& path, std::function<void()> action) {
    later(100, [path, action] {
        if (QFile::exists(path))
            action();
        else
            onceFileExists(path, action);
    });
}

// The user in front of the error box: reads it for a while, then answers.
void answerBoxesAfterLooking() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) {
        later(50, answerBoxesAfterLooking);
        return;
    }
    std::printf("box: %s\n", qPrintable(box->text().simplified()));
    std::fflush(stdout);
    QTimer::singleShot(LookMs, box, [box] {
        later(50, answerBoxesAfterLooking);
        box->accept();
    });
}

int sendUntilUnplugged(Zerbo& zerbo, const QString& out) {
    showReady(zerbo.form());
    answerBoxesAfterLooking();
    zerbo.form().txtO()->setText(QStringLiteral("85"));
    later(1000, [out] { touch(out + QStringLiteral("/sending")); });
    QTest::mouseClick(zerbo.form().cmdSendC(), Qt::LeftButton); // through the application
    std::puts("the continuous send went on after the unplug");
    return 3;
}

int receiveUntilUnplugged(Zerbo& zerbo, const QString& out) {
    onceWaiting(zerbo, [out] { touch(out + QStringLiteral("/request-unplug-usb")); });
    zerbo.Form_Load(); // returns once the reception has ended
    FrmAscii& form = zerbo.form();
    std::printf("reception ended: port %s, shown %s, %d slots filled\n",
                zerbo.port().PortOpen() ? "open" : "closed",
                form.chkClosed()->isChecked() ? "closed" : "open", numberedSlots(form));
    std::fflush(stdout);
    onceFileExists(out + QStringLiteral("/looked"), [&form] {
        form.txtO()->clear();
        QTest::keyClicks(form.txtO(), QStringLiteral("65"));
        std::printf("typed: %s\n", qPrintable(form.txtO()->text()));
        std::fflush(stdout);
        QTest::mouseClick(form.cmdExit(), Qt::LeftButton);
        std::puts("Exit did not end the program");
    });
    return ZerboApplication::exec();
}
} // namespace

int main(int argc, char* argv[]) {
    ZerboApplication app(argc, argv);
    const QStringList arguments = ZerboApplication::arguments();
    if (arguments.size() != 4 || (arguments[1] != "send" && arguments[1] != "receive")) {
        std::fprintf(stderr, "usage: driver_unplug_check send|receive DEVICE OUT_DIR\n");
        return 2;
    }
    Zerbo zerbo(arguments[2]);
    return arguments[1] == "send" ? sendUntilUnplugged(zerbo, arguments[3])
                                  : receiveUntilUnplugged(zerbo, arguments[3]);
}
