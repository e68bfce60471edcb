// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/error_report.h"

#include "app/shutdown.h"
#include "base/error_numbers.h"
#include "base/runtime_error.h"

#include <QMessageBox>
#include <cstdio>

QString runTimeErrorText(const std::exception& error) {
    int number = ErrorNumber::Internal;
    QString description = QString::fromLocal8Bit(error.what());
    if (const auto* runtime = dynamic_cast<const RuntimeError*>(&error)) {
        number = runtime->number();
        description = runtime->description();
    }
    return QStringLiteral("Run-time error %1:\n\n%2").arg(number).arg(description);
}

void reportErrorAndEnd(const std::exception& error, CommControl* port) {
    const QString text = runTimeErrorText(error);
    std::fprintf(stderr, "zerbo: %s\n", qPrintable(text.simplified()));
    QMessageBox box(QMessageBox::Critical, QStringLiteral("ZERBO"), text, QMessageBox::Ok);
    box.exec();
    Shutdown::endProgram(1, port);
}
