// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QPointF>
#include <QSize>

// The main window as designed, in twips: the form, the window scale and the
// virtual board's placement all take its size and places from here.
namespace WindowDesign {
// The client area of the designed controls.
inline constexpr QSize DesignTwips{16560, 15870};
// The status line's strip under the designed controls, and the whole client area.
inline constexpr int StatusTwips = 300;
inline constexpr QSize ClientTwips{DesignTwips.width(), DesignTwips.height() + StatusTwips};
// Where the window waits for the board's table, and where start-up puts it then.
inline constexpr QPoint WaitingTwips{1050, 1335};
inline constexpr QPointF StartTwips{1000, 1000};
} // namespace WindowDesign
