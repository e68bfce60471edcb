// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QProcess>
#include <initializer_list>

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
