#pragma once

#include <exception>

// Shows the error in one modal message box with its number and description,
// then ends the program.
[[noreturn]] void reportErrorAndEnd(const std::exception& error);
