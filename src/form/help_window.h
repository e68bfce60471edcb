// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <QWidget>

class QScrollArea;

// The help text window: 35 fixed lines in bold Courier on light peach, printed
// from the top-left corner. The page is painted on every repaint, so the text
// survives being covered or resized. Where the screen is too small for the
// page, the window scrolls: no line is lost.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    static const QStringList& helpLines();

    // Clears the page and prints the help text anew from the top.
    void printHelp();
    // The lines currently on the page, top to bottom.
    const QStringList& printedLines() const;
    // The page with the text, inside the window's scroll area.
    QWidget* page() const;
    QScrollArea* scrollArea() const { return scroll_; }

private:
    QScrollArea* scroll_;
};
