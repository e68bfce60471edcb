// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>
#include <vector>

// Now on CLOCK_MONOTONIC, the clock the board stamps its arrivals with.
qint64 monotonicNs();
// The middle value (the upper one of an even count); 0 for none.
double median(std::vector<double> values);
// The value that percent of them do not exceed (nearest rank); 0 for none.
double percentile(std::vector<double> values, double percent);
