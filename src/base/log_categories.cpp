// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/log_categories.h"

Q_LOGGING_CATEGORY(zerboSerial, "zerbo.serial", QtInfoMsg)
