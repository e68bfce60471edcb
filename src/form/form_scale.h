// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

// The forms are laid out in twips, 15 to a pixel. Where the main window's
// frame would not fit the screen it starts on, every form is drawn smaller by
// one factor, as on a desktop of higher resolution: a pixel is then worth
// more twips, so positions in twips keep their meaning. The factor is decided
// once, from the first window laid out; screens added or removed later change
// it only at the next start.

constexpr int DesignTwipsPerPixel = 15;

// Below this the label text (9.75 pt) drops under about 7 pixels at 96 dpi,
// where Courier's bold letters run together: a smaller screen shows the window
// at this size, partly off the edge and moved by the user.
constexpr double MinimumScale = 0.55;

// The window system's frame is known only once a window is shown; until then
// the factor and the placement count on a frame this large (a title bar and
// thin borders, generously).
inline constexpr QMargins AssumedFrame{8, 40, 8, 8};

// The factor at which a client area of `client` pixels, inside a frame with
// these margins, fits the available area: 1 where it fits as designed, never
// below MinimumScale.
double fitScale(QSize client, QMargins frame, QRect available);

// Where a frame goes to lie inside the area, moved only as far as needed. A
// frame larger than the area keeps its top-left corner, the title bar, inside
// it, so the window can still be moved.
QPoint keptInside(QRect frame, QRect area);

// Where the forms shrink, the style's own measures shrink with them: installs
// the application's scaled style, once. The main window does it before it
// lays itself out.
void applyFormScale();

// The program's factor, 1 where the main window fits, and the available area
// of the screen it was decided for.
double formScale();
QRect fittedArea();

// A pixel of the forms in twips: 15 at factor 1.
double twipsPerPixel();
// A point size of the design as the forms draw it.
double scaledPoints(double points);
