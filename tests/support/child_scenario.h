// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/zerbo_application.h"

#include <QApplication>
#include <QString>
#include <QTest>

// Some cases end the program, which ends the process: the test runs itself
// again as a child that plays one scenario, and reads what it printed.
struct ChildResult {
    int exitCode; // -1 when the child crashed or did not end in time
    QString output;
};

// In the child: the scenario to play, or an empty text in the test itself.
QByteArray childScenario();

// Runs this test executable again, playing the scenario.
ChildResult runChild(const QString& scenario);

// The main() of such a test: a child plays its scenario in the program's own
// application; otherwise the test runs.
template <typename Test>
int mainPlayingScenarios(int argc, char** argv, int (*play)(const QString& scenario)) {
    const QByteArray scenario = childScenario();
    if (!scenario.isEmpty()) {
        ZerboApplication app(argc, argv);
        return play(QString::fromLatin1(scenario));
    }
    QApplication app(argc, argv);
    Test test;
    return QTest::qExec(&test, argc, argv);
}
