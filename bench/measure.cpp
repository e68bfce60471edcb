// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure.h"

#include <algorithm>
#include <cmath>
#include <ctime>

qint64 monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    const auto middle = values.begin() + values.size() / 2;
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

double percentile(std::vector<double> values, double percent) {
    if (values.empty())
        return 0;
    const auto rank = size_t(std::ceil(percent / 100 * double(values.size())));
    const auto at = values.begin() + std::clamp<size_t>(rank, 1, values.size()) - 1;
    std::nth_element(values.begin(), at, values.end());
    return *at;
}
