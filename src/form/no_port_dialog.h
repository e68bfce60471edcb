// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// Says that no serial port was found for COM1 and asks what to do instead of
// ending: start the virtual board (when it is installed), look again, or end.
class NoPortDialog : public QDialog {
    Q_OBJECT
public:
    enum class Answer { VirtualBoard, ListAgain, End };

    // why: what was looked for and not found; withBoard: zerbo-board is there to start.
    NoPortDialog(const QString& why, bool withBoard, QWidget* parent = nullptr);

    // Shows the dialog modally; closing it by its frame or Escape is End.
    Answer ask();

    QLabel* text;
    QPushButton* virtualBoard = nullptr; // null without the board
    QPushButton* listAgain;
    QPushButton* end;

private:
    Answer answer_ = Answer::End;
};
