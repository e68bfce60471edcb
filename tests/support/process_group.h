// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QProcess>
#include <csignal>
#include <initializer_list>
#include <sys/prctl.h>

// The process ends when the test does, even a test that crashes or is
// killed by ctest's timeout, so no server or board outlives it.
inline void endsWithTheTest(QProcess& process) {
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

// The programs a test started, ended whichever way the test leaves: each is
// killed and waited for, in the order given. Declared after what must
// outlive them (a lock file to remove once they are gone, say).
class ProcessGroup {
public:
    ProcessGroup(std::initializer_list<QProcess*> processes) : processes_(processes) {}
    ~ProcessGroup() {
        for (QProcess* process : processes_) {
            process->kill();
            process->waitForFinished();
        }
    }
    ProcessGroup(const ProcessGroup&) = delete;
    ProcessGroup& operator=(const ProcessGroup&) = delete;

private:
    QList<QProcess*> processes_;
};
