// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "report.h"

#include <vector>

class BoardProcess;
class Zerbo;

// Time from process start to the window shown: the median of five starts of
// this program as a start-up child (after one warm-up start), on the board.
Row startupRow(const char* self, const BoardProcess& board);
// The start-up child's side: returns only if the window never shows.
int startupChild(int argc, char** argv);
bool isStartupChild(int argc, char** argv);

// Time from exec of the real zerbo binary to its window mapped on a virtual X
// server (Xvfb): the median of seven starts after one warm-up start; and the
// same for a one-label Qt window started in turn with it.
std::vector<Row> mappedStartupRows(const BoardProcess& board);

// Start-up of the program in this process: CPU while it waits for the board
// (port open, nothing arriving) for idleSeconds, then the board's table
// back to back.
struct ReceptionRows {
    Row waiting;
    Row burst;
};
ReceptionRows receptionRows(Zerbo& zerbo, BoardProcess& board, int idleSeconds);
Row localFillRow(Zerbo& zerbo);

// Sends timed by the board's own arrival times. The string's gaps: median,
// 95th percentile and maximum.
std::vector<Row> stringGapRows(Zerbo& zerbo, BoardProcess& board);
Row continuousRateRow(Zerbo& zerbo, BoardProcess& board);

// The simulated board running the firmware: its CPU idle (over idleSeconds)
// and while sending, and the table's time in simulated time.
std::vector<Row> simulatedBoardRows(int idleSeconds);

// Peak memory of the real zerbo binary once it has received the table; this
// process's own peak if that cannot be had, said so in the row.
Row peakMemoryRow();
