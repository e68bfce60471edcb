// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/zerbo_application.h"

#include "app/error_report.h"

#include <exception>

bool ZerboApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        reportErrorAndEnd(error, port_);
    }
}
