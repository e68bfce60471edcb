#pragma once

#include <QtGlobal>
#include <vector>

// Now on CLOCK_MONOTONIC, the clock the board stamps its arrivals with.
qint64 monotonicNs();
// CPU time this process has used so far, user and system, in seconds.
double cpuSeconds();
// The middle value (the upper one of an even count); 0 for none.
double median(std::vector<double> values);
