// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

// A process that has the device open, found through /proc: its PID and
// command name.
struct PortHolder {
    qint64 pid;
    QString command;
};

// The first process other than this one that holds the device open; nothing
// when none does, or when the processes that might are not ours to look at.
std::optional<PortHolder> portHolder(const QString& device);
