// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// Brings the window's pending repaints to the screen at once, as a pause
// between two bytes needs: the window shows the byte while the pause runs.
void showPending(QWidget& window);
