// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

class QDialog;
class QMessageBox;

// Calls action with the next modal message box as soon as it shows: looked
// for from the event loop, which the box's own loop keeps running.
void onNextMessageBox(std::function<void(QMessageBox&)> action);
// The same for the next modal dialog of any kind (a port picker, a question).
void onNextDialog(std::function<void(QDialog&)> action);

// Answers the next modal message box with OK as soon as it shows, and keeps
// its caption and text. Call before the action that opens the box.
class MessageBoxAnswerer {
public:
    MessageBoxAnswerer();
    int count() const;
    QString lastTitle() const;
    QString lastText() const;
};
