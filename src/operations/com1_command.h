// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

class CommControl;
class FrmAscii;
struct ProgramState;

// The Com1 command: with RxD selected it receives the board's table of the
// 256 codes into the slots; with TxD selected it prepares for sending.
class Com1Command {
public:
    Com1Command(FrmAscii& form, CommControl& port, ProgramState& state)
        : form_(form), port_(port), state_(state) {}

    void cmdCom1_Click();

private:
    void receive();
    void prepareReception();
    void finishReception();
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
    ProgramState& state_;
};
