// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTest>

// A case that cannot run on this machine (it needs root, say). make test
// builds with ZERBO_COMPLETE, where every case must run: there it fails,
// saying why; a hand-run build without it reports the case skipped.
#ifdef ZERBO_TESTS_COMPLETE
#define ZERBO_CANNOT_RUN(reason)                                                                   \
    QFAIL(qPrintable(QStringLiteral("cannot run here: ") + QString::fromUtf8(reason)))
#else
#define ZERBO_CANNOT_RUN(reason) QSKIP(reason)
#endif
