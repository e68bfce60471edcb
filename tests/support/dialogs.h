// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Answers the next modal message box with OK as soon as it shows, and keeps
// its caption and text. Call before the action that opens the box.
class MessageBoxAnswerer {
public:
    MessageBoxAnswerer();
    int count() const;
    QString lastTitle() const;
    QString lastText() const;
};
