// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>

// The application object. Handlers catch their own errors where a control's
// signal enters them; this is only the last net for an error thrown from an
// event handler of Qt's own (a paint or a key), reported the same way.
class ZerboApplication : public QApplication {
    Q_OBJECT
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override;
};
