// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

// The board's end of the serial line: a pseudo-terminal pair whose other end
// is published under a stable path (a symbolic link) for the program to open.
//
// The program's serial library restores the terminal settings it found each
// time it closes the port, and the program reopens the port for every send.
// So the board keeps both ends raw itself and holds a descriptor of the other
// end for its whole life: nothing is ever echoed or translated, and the line
// never hangs up between two opens.
class VirtualLine : public QObject {
    Q_OBJECT
public:
    // Throws std::runtime_error with a worded reason if the pair or the link
    // cannot be made.
    // holdOtherEnd false: the board does not keep the program's end open
    // itself, so it can tell whether anyone holds the port (programHoldsPort).
    explicit VirtualLine(const QString& linkPath, bool holdOtherEnd = true,
                         QObject* parent = nullptr);
    ~VirtualLine() override;

    QString linkPath() const { return linkPath_; }
    QString devicePath() const { return devicePath_; }

    // Board to program. Returns how many bytes the line took: bytes nobody
    // has read pile up in the terminal's buffer, and once it is full the
    // rest is lost, as on a real line with nobody listening.
    qsizetype send(const QByteArray& bytes);

    // Only without holdOtherEnd: whether a program has the port open now.
    bool programHoldsPort() const;
    // The rate the program set on its end, in baud (read from this end).
    int programBaud() const;
    // How the program's end treats a byte with a framing error: 'i' ignored
    // (IGNPAR), 'm' marked \377 \0 (PARMRK), else '0' read as a NUL.
    char framingErrorHandling() const;
    // Empties what waits in the program's end: bytes written while nobody
    // held it, which the next opener would read. Without holdOtherEnd it
    // also clears the mark of an exclusive open that no process holds any
    // more (a program killed while it held the port): a real port forgets it
    // at its last close. Where that is not allowed (not root), a new
    // pseudo-terminal takes the old one's place under the link.
    void dropStale();
    // Only without holdOtherEnd: if the program closed its end since the
    // last call, drops what it left unread there, as the close of a real
    // port does. Runs on each close and should run before each write, so that
    // a close and reopen, too quick to see as a hang-up, still counts. A
    // program that reads within microseconds of its reopen may still get
    // such bytes: a pseudo-terminal tells of a close only afterwards.
    void dropWhatACloseLeft();

    // Only without holdOtherEnd: DTR as a board's USB-serial chip sees it. It
    // rises when a program opens the port and falls at a close with HUPCL
    // set, the default of a USB port (setHangUpOnClose makes it this port's);
    // a program that clears HUPCL, as ZERBO does, keeps it up between its
    // closes and reopens. True once for each rise, at the first call after it.
    bool takeDtrRise();
    // HUPCL on, as on a freshly plugged-in USB serial port.
    void setHangUpOnClose();

    // The standard place: $XDG_RUNTIME_DIR/zerbo-board, or
    // /tmp/zerbo-board-<uid> where there is no runtime directory.
    static QString defaultLinkPath();

signals:
    void received(unsigned char byte);
    // The same bytes, those of one read at a time: they came together.
    void receivedTogether(const QByteArray& bytes);
    // The link now leads to a new pseudo-terminal (devicePath()).
    void deviceReplaced();

private:
    void readWaiting();
    void programClosed();
    void forgetExclusiveUse();
    bool othersHoldDevice() const;
    void publish();
    void unpublish();
    void clearStaleExclusive(int fd);
    void replaceDevice();
    void watchDevice();

    int master_ = -1;
    int slave_ = -1;
    QString devicePath_;
    QString linkPath_;
    QSocketNotifier* notifier_ = nullptr;
    int hangUpRetryMs_ = 50;
    int closeWatch_ = -1; // inotify: every close of the program's end
    int watchedDevice_ = -1;
    int ownCloses_ = 0; // those dropStale makes itself
    bool dtrUp_ = false;
};
