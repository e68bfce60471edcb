// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>

class CommControl;

// The application object. Handlers catch their own errors where a control's
// signal enters them; this is only the last net for an error thrown from an
// event handler of Qt's own (a paint or a key), reported the same way.
class ZerboApplication : public QApplication {
    Q_OBJECT
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override;

    // The program's port, closed when the net ends the program: the program
    // hands it over while it is constructed and takes it back when it goes.
    void setPort(CommControl* port) { port_ = port; }

private:
    CommControl* port_ = nullptr;
};
