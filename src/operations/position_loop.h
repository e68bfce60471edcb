// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <optional>

class QString;

class FrmAscii;
struct ProgramState;

// Keeps txtLeft and txtTop in step with the window's position (in twips)
// and applies them back when an edit of either ends. Driven by the window's
// move events and by the end of an edit, so an idle program costs nothing.
class PositionLoop : public QObject {
    Q_OBJECT
public:
    PositionLoop(FrmAscii& form, ProgramState& state);

    // Begins following the window: shows its position in the fields.
    void start();
    // An edit of a position field has ended: move the window to the fields'
    // values, then show where it stands in them. A field that is not a number
    // keeps its text, and that edge stays where it is.
    void applyFields();

    bool running() const { return running_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showPosition(bool left = true, bool top = true);

    FrmAscii& form_;
    ProgramState& state_;
    bool running_ = false;
    bool applying_ = false; // moving to the fields: their texts are not replaced wholesale
};

// A position field read strictly: the whole text must be a number in the
// user's regional format ("1500", "-8000", "1,500.5" in English); a number
// beyond the range of a position is +/-infinity. Anything else (empty,
// letters, a sign alone) is no position.
std::optional<float> strictPosition(const QString& text);
