// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/no_port_dialog.h"

#include "form/app_icon.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

NoPortDialog::NoPortDialog(const QString& why, bool withBoard, const QStringList& adapters,
                           QWidget* parent)
    : QDialog(parent), text_(new QLabel(why, this)) {
    setWindowTitle(QStringLiteral("ZERBO: no serial port for COM1"));
    setWindowIcon(appIcon());
    text_->setWordWrap(true);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* buttons = new QDialogButtonBox(this);
    const auto answerWith = [this](QPushButton* button, Answer answer) {
        connect(button, &QPushButton::clicked, this, [this, answer] {
            answer_ = answer;
            accept();
        });
    };
    if (!adapters.isEmpty()) {
        const bool one = adapters.size() == 1;
        useAdapter_ = buttons->addButton(one ? QStringLiteral("Use %1").arg(adapters.first())
                                             : QStringLiteral("Pick a USB serial adapter"),
                                         QDialogButtonBox::AcceptRole);
        useAdapter_->setToolTip(
            one ? QStringLiteral("Uses the USB serial adapter found as COM1")
                : QStringLiteral("Lists the USB serial adapters found, to pick the board's"));
        answerWith(useAdapter_, Answer::UseAdapter);
    }
    if (withBoard) {
        virtualBoard_ = buttons->addButton(QStringLiteral("Start the virtual board"),
                                           QDialogButtonBox::AcceptRole);
        virtualBoard_->setToolTip(QStringLiteral(
            "Starts zerbo-board, which plays the board on a pseudo-terminal, and uses its port"));
        answerWith(virtualBoard_, Answer::VirtualBoard);
    }
    listAgain_ = buttons->addButton(QStringLiteral("List again"), QDialogButtonBox::ActionRole);
    listAgain_->setToolTip(QStringLiteral("Looks for the serial ports again, after plugging in "
                                          "the board's adapter"));
    answerWith(listAgain_, Answer::ListAgain);
    end_ = buttons->addButton(QStringLiteral("End"), QDialogButtonBox::RejectRole);
    connect(end_, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(buttons);
    setMinimumWidth(480);
}

NoPortDialog::Answer NoPortDialog::ask() {
    answer_ = Answer::End;
    return exec() == QDialog::Accepted ? answer_ : Answer::End;
}
