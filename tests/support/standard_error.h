// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

// What the call writes on standard error, caught through a file.
QString standardErrorOf(const std::function<void()>& call);
