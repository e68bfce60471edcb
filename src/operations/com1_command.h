// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QTimer>

class CommControl;
class FrmAscii;
class ContinuousSend;

// The Com1 command: with RxD selected it receives the board's table of the
// 256 codes into the slots; with TxD selected it prepares for sending.
class Com1Command {
public:
    Com1Command(FrmAscii& form, CommControl& port, ContinuousSend& continuousSend);

    void cmdCom1_Click();

private:
    void receive();
    void prepareReception();
    // why: what ended it, for the status line, when not the last code.
    void finishReception(const QString& why = {});
    void checkTable(const QString& why);
    void lineFellQuiet();
    void sendReady();
    // The next bytes from the board, waiting for events (not spinning) until
    // some arrive. False when the port failed or a nested operation closed it.
    bool readSome(QByteArray& bytes);
    // The device went away under the reception: the window says so.
    void deviceVanished();
    // Places one received code into its slot; true when it was code 255.
    bool place(unsigned char code);

    FrmAscii& form_;
    CommControl& port_;
    ContinuousSend& continuousSend_;
    QByteArray received_; // every byte the reception read, for the check at its end
    int placed_ = 0;
    static constexpr int QuietMs = 1000;
    QTimer quiet_; // from the last byte: the line fell quiet before code 255
};
