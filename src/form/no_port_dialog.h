// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// Says that no serial port was found for COM1, or that the default one
// refuses (its error and fix), and asks what to do instead of ending: use
// the USB serial adapter found (when there is one), start the virtual board
// (when it is installed), look again, or end.
class NoPortDialog : public QDialog {
    Q_OBJECT
public:
    enum class Answer { UseAdapter, VirtualBoard, ListAgain, End };

    // why: what was looked for and not found, or the default device's error;
    // withBoard: zerbo-board is there to start; adapters: the USB serial
    // adapters found, offered as COM1 (one to use, several to pick from).
    NoPortDialog(const QString& why, bool withBoard, const QStringList& adapters = {},
                 QWidget* parent = nullptr);

    // Shows the dialog modally; closing it by its frame or Escape is End.
    Answer ask();

    QLabel* text() const { return text_; }
    QPushButton* useAdapter() const { return useAdapter_; }     // null without an adapter
    QPushButton* virtualBoard() const { return virtualBoard_; } // null without the board
    QPushButton* listAgain() const { return listAgain_; }
    QPushButton* end() const { return end_; }

private:
    QLabel* text_;
    QPushButton* useAdapter_ = nullptr;
    QPushButton* virtualBoard_ = nullptr;
    QPushButton* listAgain_;
    QPushButton* end_;
    Answer answer_ = Answer::End;
};
