// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/nesting_log.h"

Q_LOGGING_CATEGORY(lcNesting, "zerbo.nesting", QtWarningMsg)
