// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <optional>

class QString;

class FrmAscii;

// Keeps txtLeft and txtTop in step with the window's position (in twips)
// and applies them back when an edit of either ends. Driven by the window's
// move events and by the end of an edit, so an idle program costs nothing.
class PositionFields : public QObject {
    Q_OBJECT
public:
    explicit PositionFields(FrmAscii& form);

    // Begins following the window: shows its position in the fields.
    void start();
    // An edit of a position field has ended: move the window to the fields'
    // values, then show where it stands in them. A field that is not a number
    // keeps its text, and that edge stays where it is.
    void applyFields();

    bool running() const { return running_; }

    // While the user edits a field, the window's moves leave its text alone.
    void setEditing(bool editing) { editing_ = editing; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showPosition(bool left = true, bool top = true);

    FrmAscii& form_;
    bool running_ = false;
    bool editing_ = false;
    bool applying_ = false; // moving to the fields: their texts are not replaced wholesale
};

// A position field read strictly: the whole text must be a number in the
// user's regional format ("1500", "-8000", "1,500.5" in English); a number
// beyond the range of a position is +/-infinity. Anything else (empty,
// letters, a sign alone) is no position.
std::optional<float> strictPosition(const QString& text);
