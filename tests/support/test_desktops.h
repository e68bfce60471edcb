// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QSize>
#include <QString>
#include <QTemporaryDir>

// Desktops that the offscreen platform cannot stand in for, each started on
// a screen of the size given and ended with its object. failure() is empty
// once it runs, else it says why it does not (a missing package, say).

// A headless Wayland desktop (weston) with XWayland, in a runtime folder of
// its own.
class WestonDesktop {
public:
    explicit WestonDesktop(QSize screen);
    ~WestonDesktop();
    WestonDesktop(const WestonDesktop&) = delete;
    WestonDesktop& operator=(const WestonDesktop&) = delete;

    QString failure() const { return failure_; }
    // A program's environment on it: the Wayland socket, XWayland's DISPLAY
    // only where asked, and no platform chosen.
    QProcessEnvironment environment(bool withXWayland) const;

private:
    QTemporaryDir runtime_;
    QProcess weston_;
    QString xDisplay_;
    QString failure_;
};

// A virtual X server (Xvfb) with a window manager (openbox) on it, which
// stacks windows by their layers and focus as a desktop does.
class XDesktop {
public:
    explicit XDesktop(QSize screen);
    ~XDesktop();
    XDesktop(const XDesktop&) = delete;
    XDesktop& operator=(const XDesktop&) = delete;

    QString failure() const { return failure_; }
    QString display() const { return display_; }

private:
    QTemporaryDir dir_;
    QProcess server_;
    QProcess windowManager_;
    QString display_;
    QString failure_;
};
