// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <memory>

class QWidget;

// Headless, --help and --version need no display, so they must not create a
// QApplication, which aborts the program where there is none.
std::unique_ptr<QCoreApplication> makeBoardApplication(int& argc, char** argv);

// False, with one line on standard error, where a window is asked for and
// there is no display to show it on.
bool windowPossible(bool headless);

// Opens the board's window beside ZERBO's, and reports where with
// ZERBO_REPORT_GEOMETRY set, as ZERBO reports its own.
void showBesideZerbo(QWidget& window);
