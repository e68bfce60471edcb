// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <exception>

class CommControl;

// "Run-time error NUMBER:\n\nDESCRIPTION"; an error that is not a RuntimeError
// is internal, number 51.
QString runTimeErrorText(const std::exception& error);

// Shows the error in one modal message box with its number and description,
// then ends the program, closing the port if there is one.
[[noreturn]] void reportErrorAndEnd(const std::exception& error, CommControl* port = nullptr);
