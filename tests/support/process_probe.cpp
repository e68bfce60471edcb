// SPDX-License-Identifier: GPL-3.0-or-later
#include "process_probe.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <sys/resource.h>

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](timeval t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

bool holdsDevice(qint64 pid, const QString& device) {
    const QDir descriptors(QStringLiteral("/proc/%1/fd").arg(pid));
    const auto links = descriptors.entryInfoList(QDir::System | QDir::NoDotAndDotDot);
    return std::any_of(links.begin(), links.end(),
                       [&](const QFileInfo& link) { return link.symLinkTarget() == device; });
}
