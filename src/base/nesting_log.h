// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

// "zerbo.nesting": one line at every yield with the depth of handlers nested
// there, for a report of a click that did something odd. Off unless turned on
// (QT_LOGGING_RULES="zerbo.nesting.debug=true").
Q_DECLARE_LOGGING_CATEGORY(lcNesting)
