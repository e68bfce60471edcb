// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/com1_device.h"

#include "app/virtual_board.h"
#include "base/log_categories.h"
#include "form/no_port_dialog.h"
#include "form/port_picker.h"
#include "serial/board_link.h"
#include "serial/comm_errors.h"
#include "serial/port_status.h"

#include <cstdio>
#include <cstring>

namespace {
QString reasonOf(int openError) {
    return QString::fromLocal8Bit(std::strerror(openError));
}

Com1 said(const Com1& com1) {
    sayCom1(com1);
    return com1;
}

// opening: the default device, which opens, listed before the adapters.
std::optional<Com1> pickAmong(const QList<PortDescription>& adapters,
                              const std::optional<PortDescription>& opening, int defaultError,
                              WhenNotFound whenNotFound, const Com1Search& search) {
    if (whenNotFound == WhenNotFound::Report) {
        std::fprintf(stderr,
                     "zerbo: %s: %s, and several USB serial adapters are plugged in; name one "
                     "with --port DEVICE:\n",
                     qPrintable(search.defaultDevice), std::strerror(defaultError));
        for (const PortDescription& adapter : adapters)
            std::fprintf(stderr, "  %s\n", qPrintable(describePort(adapter)));
        return std::nullopt;
    }
    PortPicker picker(adapters, search.ports, opening);
    if (picker.exec() != QDialog::Accepted)
        return std::nullopt;
    return said(
        {picker.chosenDevice(),
         opening ? QStringLiteral("picked from %1 and the USB serial adapters").arg(opening->device)
                 : QStringLiteral("picked from the USB serial adapters")});
}

// The default device as the port list describes it, for the picker.
PortDescription describedAmong(const QString& device, const QList<PortDescription>& present) {
    for (const PortDescription& port : present)
        if (port.device == device)
            return port;
    return {device, {}, {}, {}, {}, {}};
}

// A board the user started before ZERBO: its port, as the one an adapter's
// would be, when no real port can be used.
std::optional<Com1> runningBoard(int defaultError, const Com1Search& search) {
    if (search.boardLink.isEmpty())
        return std::nullopt;
    const QString device = BoardLink::runningDevice(search.boardLink);
    qCDebug(zerboSerial, "virtual board at %s: %s", qPrintable(search.boardLink),
            device.isEmpty() ? "none runs" : qPrintable(device));
    if (device.isEmpty())
        return std::nullopt;
    std::fprintf(stderr, "zerbo: %s: %s; using the virtual board that runs at %s (%s) as COM1\n",
                 qPrintable(search.defaultDevice), std::strerror(defaultError),
                 qPrintable(search.boardLink), qPrintable(device));
    return Com1{search.boardLink, QStringLiteral("the virtual board already running")};
}

QStringList devicesOf(const QList<PortDescription>& ports) {
    QStringList devices;
    for (const PortDescription& port : ports)
        devices << port.device;
    return devices;
}
} // namespace

Com1Search realCom1Search() {
    Com1Search search;
    search.askNoPort = [](const QString& why, bool withBoard, const QStringList& adapters) {
        switch (NoPortDialog(why, withBoard, adapters).ask()) {
        case NoPortDialog::Answer::UseAdapter:
            return NoPortAnswer::UseAdapter;
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
    search.boardLink = BoardLink::defaultPath();
    return search;
}

void sayCom1(const Com1& com1) {
    std::fprintf(stderr, "zerbo: COM1 is %s (%s)\n", qPrintable(com1.device), qPrintable(com1.why));
}

namespace {
std::optional<Com1> searchCom1(const QString& namedDevice, WhenNotFound whenNotFound,
                               const Com1Search& search) {
    if (!namedDevice.isEmpty()) {
        const QString namedBy = CommErrors::com1NamedBy();
        return Com1{namedDevice, QStringLiteral("named by %1")
                                     .arg(namedBy.isEmpty() ? QStringLiteral("--port") : namedBy)};
    }
    const QString& fallback = search.defaultDevice;
    const bool canAsk = whenNotFound == WhenNotFound::Ask && search.askNoPort;
    for (;;) {
        const int defaultError = com1OpenError(fallback);
        qCDebug(zerboSerial, "%s: %s", qPrintable(fallback),
                defaultError == 0 ? "opens" : std::strerror(defaultError));
        // Without anyone to ask, the usual case costs one look at the default
        // device; the port list is asked only when it cannot be used.
        if (defaultError == 0 && !canAsk)
            return said({fallback, QStringLiteral("it opens")});
        const QList<PortDescription> present = search.ports();
        for (const PortDescription& port : present)
            qCDebug(zerboSerial, "present: %s", qPrintable(describePort(port)));
        const Com1Choice choice = chooseCom1(defaultError, present, canAsk);
        if (defaultError != 0 && choice.adapters.isEmpty())
            if (const std::optional<Com1> board = runningBoard(defaultError, search))
                return board;
        QString why;
        switch (choice.outcome) {
        case Com1Choice::Outcome::Default:
            if (defaultError == 0)
                return said({fallback, QStringLiteral("it opens")});
            return said({fallback, reasonOf(defaultError).toLower() +
                                       QStringLiteral(", and no USB serial adapter")});
        case Com1Choice::Outcome::OneAdapter: {
            const PortDescription& adapter = choice.adapters.constFirst();
            std::fprintf(stderr, "zerbo: %s: %s; using the USB serial adapter %s as COM1\n",
                         qPrintable(fallback), std::strerror(defaultError),
                         qPrintable(describePort(adapter)));
            return Com1{adapter.device, QStringLiteral("the one USB serial adapter")};
        }
        case Com1Choice::Outcome::SeveralAdapters:
            return pickAmong(choice.adapters, std::nullopt, defaultError, whenNotFound, search);
        case Com1Choice::Outcome::DefaultOrAdapters:
            return pickAmong(choice.adapters, describedAmong(fallback, present), defaultError,
                             whenNotFound, search);
        case Com1Choice::Outcome::Refused:
            why = openRefusal(fallback, defaultError).description();
            break;
        case Com1Choice::Outcome::NoneFound:
            if (!canAsk)
                throw noPortFound(defaultError, fallback);
            why = noPortFound(defaultError, fallback).description();
            break;
        }
        const QString board = search.boardProgram ? search.boardProgram() : QString();
        switch (search.askNoPort(why, !board.isEmpty(), devicesOf(choice.adapters))) {
        case NoPortAnswer::UseAdapter:
            if (choice.adapters.size() == 1)
                return said({choice.adapters.constFirst().device,
                             QStringLiteral("picked from the USB serial adapters")});
            return pickAmong(choice.adapters, std::nullopt, defaultError, whenNotFound, search);
        case NoPortAnswer::End:
            return std::nullopt;
        case NoPortAnswer::ListAgain:
            continue;
        case NoPortAnswer::VirtualBoard:
            if (const std::optional<QString> port = search.startBoard(board))
                return said({*port, QStringLiteral("the virtual board, ") + board});
            continue; // asked again; standard error said what went wrong
        }
    }
}
} // namespace

std::optional<Com1> findCom1Device(const QString& namedDevice, WhenNotFound whenNotFound,
                                   const Com1Search& search) {
    qCDebug(zerboSerial, "looking for COM1: %s",
            namedDevice.isEmpty() ? "no device named"
                                  : qPrintable(QStringLiteral("named ") + namedDevice));
    const std::optional<Com1> com1 = searchCom1(namedDevice, whenNotFound, search);
    qCDebug(zerboSerial, "COM1 is %s", com1 ? qPrintable(com1->device) : "not chosen");
    return com1;
}
