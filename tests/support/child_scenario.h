// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

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
