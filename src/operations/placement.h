// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "operations/position_fields.h"

#include <QObject>
#include <QString>
#include <optional>

class FrmAscii;
class QLineEdit;

// The window's place on the screen, in twips of its outer frame: centring,
// moving to the typed position, and the focus handling of txtLeft and txtTop,
// which clamps a typed value when the field is left and then lets the
// position fields apply it.
class Placement : public QObject {
    Q_OBJECT
public:
    explicit Placement(FrmAscii& form);

    // From here on the position fields follow the window and move it.
    void followWindow() { fields_.start(); }

    void cmdCenter_Click();
    void cmdSetPos_Click();
    void txtLeft_GotFocus();
    void txtTop_GotFocus();
    void txtLeft_LostFocus();
    void txtTop_LostFocus();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct PendingEdit {
        QLineEdit* field;
        float upperBound;
        QString upperText;
        unsigned long begun; // editsBegun_ when it ended
    };

    void editEnded(QLineEdit* field, float upperBound, const QString& upperText);
    void judgePendingEdit();
    void clamp(const PendingEdit& edit);

    FrmAscii& form_;
    PositionFields fields_;
    unsigned long editsBegun_ = 0; // focus-ins of txtLeft and txtTop so far
    std::optional<PendingEdit> pending_;
    // An edit ended on Set form position: its click moves the window, or the
    // field's move follows once the focus leaves the button without one.
    bool moveWaitsForSetPos_ = false;
};

// Where a window's edge goes to be centred: half the room the screen leaves
// beside it, in single precision as positions are kept.
float centredEdge(float screenExtent, float windowExtent);
