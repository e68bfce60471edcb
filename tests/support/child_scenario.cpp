// SPDX-License-Identifier: GPL-3.0-or-later
#include "child_scenario.h"

#include <QCoreApplication>
#include <QProcess>

namespace {
const char* const ScenarioVariable = "ZERBO_TEST_SCENARIO";
}

QByteArray childScenario() {
    return qgetenv(ScenarioVariable);
}

ChildResult runChild(const QString& scenario) {
    QProcess child;
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert(ScenarioVariable, scenario);
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {});
    if (!child.waitForFinished(20000)) {
        child.kill();
        child.waitForFinished();
    }
    return {child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1,
            QString::fromLocal8Bit(child.readAllStandardOutput() + child.readAllStandardError())};
}
