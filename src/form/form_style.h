// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>

class QWidget;

// Positions in twips, the unit the layout is drawn in, as pixels at the
// forms' scale (form/form_scale.h). The edges are rounded, not the sizes, so
// that neighbours stay neighbours at any scale.
QRect twipsRect(int left, int top, int width, int height);

// Point sizes are those of the design; the fonts come out at the forms' scale.
QFont courierNewBold(double points);

// The three fonts of the main window.
QFont labelFont();  // Courier New 9.75 pt bold: captions, lists, table, legend
QFont windowFont(); // Courier New 12 pt bold: the window's default
QFont buttonFont(); // MS Sans Serif 8.25 pt: the slot buttons, whose caption is not shown

QColor buttonFace();
inline const QColor White{255, 255, 255};
inline const QColor Black{0, 0, 0};
inline const QColor Green{0, 255, 0};
inline const QColor Red{255, 0, 0};
inline const QColor Blue{0, 0, 255};
inline const QColor Grey{128, 128, 128};

// Colours of a text field or label, changed only where they differ, so that
// recolouring many fields repaints just the ones that change.
void setBackground(QWidget* field, const QColor& colour);
void setTextColour(QWidget* field, const QColor& colour);
QColor background(const QWidget* field);
QColor textColour(const QWidget* field);
