// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/cut_input_note.h"

#include <QLineEdit>
#include <QToolTip>

void tellWhenInputIsCut(QLineEdit* field) {
    QObject::connect(field, &QLineEdit::inputRejected, field, [field] {
        if (field->text().size() < field->maxLength())
            return; // refused by a validator, not cut
        const QString note = QStringLiteral("Text cut: this field holds at most %1 characters; "
                                            "the rest was left out.")
                                 .arg(field->maxLength());
        field->setToolTip(note);
        field->setAccessibleDescription(note);
        QToolTip::showText(field->mapToGlobal(field->rect().bottomLeft()), note, field);
    });
    // Once it is no longer full, what it holds is what was typed.
    QObject::connect(field, &QLineEdit::textChanged, field, [field](const QString& text) {
        if (text.size() < field->maxLength() && !field->toolTip().isEmpty()) {
            field->setToolTip({});
            field->setAccessibleDescription({});
        }
    });
}
