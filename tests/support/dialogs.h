// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

class QMessageBox;

// Calls action with the next modal message box as soon as it shows: looked
// for from the event loop, which the box's own loop keeps running.
void onNextMessageBox(std::function<void(QMessageBox&)> action);

// Answers the next modal message box with OK as soon as it shows, and keeps
// its caption and text. Call before the action that opens the box.
class MessageBoxAnswerer {
public:
    MessageBoxAnswerer();
    int count() const;
    QString lastTitle() const;
    QString lastText() const;
};
