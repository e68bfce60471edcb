// SPDX-License-Identifier: GPL-3.0-or-later
#include "child_scenario.h"

#include "run_program.h"

#include <QCoreApplication>

namespace {
const char* const ScenarioVariable = "ZERBO_TEST_SCENARIO";
}

QByteArray childScenario() {
    return qgetenv(ScenarioVariable);
}

ChildResult runChild(const QString& scenario) {
    const Run run =
        runProgram(QCoreApplication::applicationFilePath(), {},
                   {{QString::fromLatin1(ScenarioVariable) + '=' + scenario}, false, 20000});
    return {run.exitCode, run.out + run.err};
}
