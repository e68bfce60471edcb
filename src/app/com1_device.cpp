// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/com1_device.h"

#include "app/virtual_board.h"
#include "base/log_categories.h"
#include "form/no_port_dialog.h"
#include "form/port_picker.h"

#include <cstdio>
#include <cstring>

namespace {
std::optional<QString> pickAmong(const Com1Choice& choice, int defaultError,
                                 WhenSeveral whenSeveral, const Com1Search& search) {
    const QString& fallback = search.defaultDevice;
    if (whenSeveral == WhenSeveral::Refuse) {
        std::fprintf(stderr,
                     "zerbo: %s: %s, and several USB serial adapters are plugged in; name one "
                     "with --port DEVICE:\n",
                     qPrintable(fallback), std::strerror(defaultError));
        for (const PortDescription& adapter : choice.adapters)
            std::fprintf(stderr, "  %s\n", qPrintable(describePort(adapter)));
        return std::nullopt;
    }
    PortPicker picker(choice.adapters, search.ports);
    if (picker.exec() != QDialog::Accepted)
        return std::nullopt;
    sayCom1(picker.chosenDevice(), QStringLiteral("picked from the USB serial adapters"));
    return picker.chosenDevice();
}
} // namespace

Com1Search realCom1Search() {
    Com1Search search;
    search.askNoPort = [](const QString& why, bool withBoard) {
        switch (NoPortDialog(why, withBoard).ask()) {
        case NoPortDialog::Answer::VirtualBoard:
            return NoPortAnswer::VirtualBoard;
        case NoPortDialog::Answer::ListAgain:
            return NoPortAnswer::ListAgain;
        case NoPortDialog::Answer::End:
            break;
        }
        return NoPortAnswer::End;
    };
    search.boardProgram = virtualBoardProgram;
    search.startBoard = startVirtualBoard;
    return search;
}

void sayCom1(const QString& device, const QString& how) {
    std::fprintf(stderr, "zerbo: COM1 is %s (%s)\n", qPrintable(device), qPrintable(how));
}

namespace {
std::optional<QString> searchCom1(const QString& namedDevice, WhenSeveral whenSeveral,
                                  const Com1Search& search) {
    if (!namedDevice.isEmpty())
        return namedDevice;
    const QString& fallback = search.defaultDevice;
    for (;;) {
        // The usual case costs one open and close; the port list is asked
        // only when the default device cannot be used.
        const int defaultError = openError(fallback);
        qCDebug(zerboSerial, "%s: %s", qPrintable(fallback),
                defaultError == 0 ? "opens" : std::strerror(defaultError));
        if (defaultError == 0) {
            sayCom1(fallback, QStringLiteral("it opens"));
            return fallback;
        }
        const QList<PortDescription> present = search.ports();
        for (const PortDescription& port : present)
            qCDebug(zerboSerial, "present: %s", qPrintable(describePort(port)));
        const Com1Choice choice = chooseCom1(defaultError, present);
        switch (choice.outcome) {
        case Com1Choice::Outcome::Default:
            sayCom1(fallback, QString::fromLocal8Bit(std::strerror(defaultError)).toLower() +
                                  QStringLiteral(", and no USB serial adapter"));
            return fallback;
        case Com1Choice::Outcome::OneAdapter: {
            const PortDescription& adapter = choice.adapters.constFirst();
            std::fprintf(stderr, "zerbo: %s: %s; using the USB serial adapter %s as COM1\n",
                         qPrintable(fallback), std::strerror(defaultError),
                         qPrintable(describePort(adapter)));
            return adapter.device;
        }
        case Com1Choice::Outcome::SeveralAdapters:
            return pickAmong(choice, defaultError, whenSeveral, search);
        case Com1Choice::Outcome::NoneFound:
            break;
        }
        if (whenSeveral == WhenSeveral::Refuse || !search.askNoPort)
            throw noPortFound(defaultError, fallback);
        const QString board = search.boardProgram ? search.boardProgram() : QString();
        switch (
            search.askNoPort(noPortFound(defaultError, fallback).description(), !board.isEmpty())) {
        case NoPortAnswer::End:
            return std::nullopt;
        case NoPortAnswer::ListAgain:
            continue;
        case NoPortAnswer::VirtualBoard:
            if (const std::optional<QString> port = search.startBoard(board)) {
                sayCom1(*port, QStringLiteral("the virtual board, ") + board);
                return port;
            }
            continue; // asked again; standard error said what went wrong
        }
    }
}
} // namespace

std::optional<QString> findCom1Device(const QString& namedDevice, WhenSeveral whenSeveral,
                                      const Com1Search& search) {
    qCDebug(zerboSerial, "looking for COM1: %s",
            namedDevice.isEmpty() ? "no device named"
                                  : qPrintable(QStringLiteral("named ") + namedDevice));
    const std::optional<QString> device = searchCom1(namedDevice, whenSeveral, search);
    qCDebug(zerboSerial, "COM1 is %s", device ? qPrintable(*device) : "not chosen");
    return device;
}
