// SPDX-License-Identifier: GPL-3.0-or-later
#include "stdin_key.h"

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>
#include <cerrno>
#include <memory>
#include <unistd.h>

void pressKeyOneOnStdinLines(QObject* owner, std::function<void()> press) {
    auto* notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, owner);
    auto pending = std::make_shared<QByteArray>();
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [notifier, pending, press] {
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            return;
        if (n <= 0) { // end of input: a closed stdin would wake the loop forever
            notifier->setEnabled(false);
            return;
        }
        pending->append(buffer, n);
        for (qsizetype end = pending->indexOf('\n'); end >= 0; end = pending->indexOf('\n')) {
            if (pending->left(end).trimmed() == "key1")
                press();
            pending->remove(0, end + 1);
        }
    });
}
