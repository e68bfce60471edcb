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
    explicit VirtualLine(const QString& linkPath, QObject* parent = nullptr);
    ~VirtualLine() override;

    QString linkPath() const { return linkPath_; }
    QString devicePath() const { return devicePath_; }

    // Board to program. Returns how many bytes the line took: bytes nobody
    // has read pile up in the terminal's buffer, and once it is full the
    // rest is lost, as on a real line with nobody listening.
    qsizetype send(const QByteArray& bytes);

    // The standard place: $XDG_RUNTIME_DIR/zerbo-board, or
    // /tmp/zerbo-board-<uid> where there is no runtime directory.
    static QString defaultLinkPath();

signals:
    void received(unsigned char byte);

private:
    void readWaiting();
    void publish();
    void unpublish();

    int master_ = -1;
    int slave_ = -1;
    QString devicePath_;
    QString linkPath_;
    QSocketNotifier* notifier_ = nullptr;
};
