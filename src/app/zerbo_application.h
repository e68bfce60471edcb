#pragma once

#include <QApplication>

// The application object. A run-time error thrown from any handler ends up
// here, once, however deeply the handler was nested: it is reported and the
// program ends.
class ZerboApplication : public QApplication {
    Q_OBJECT
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override;
};
