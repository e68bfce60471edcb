// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/port_choice.h"

#include "serial/comm_errors.h"

#include <QSerialPortInfo>
#include <cerrno>
#include <cstring>

namespace {
// The default device exists but refuses this user or is held by another
// program: opening it as before reports that, which tells the user more than
// "not found" would.
bool refusesUs(int openError) {
    return openError == EACCES || openError == EPERM || openError == EBUSY;
}

// The boards most people plug in, by the USB id of their USB-serial chip,
// so that the list says which port is the board.
struct KnownBoard {
    quint16 vendor;
    quint16 product;
    const char* name;
};
constexpr KnownBoard KnownBoards[] = {
    {0x2341, 0x0043, "an Arduino Uno"},
    {0x2341, 0x0001, "an Arduino Uno"},
    {0x1a86, 0x7523, "a CH340 chip, as on most Arduino Nanos"},
    {0x0403, 0x6001, "an FTDI chip, as on older Arduino Nanos and many adapters"},
};

QString knownBoard(const PortDescription& port) {
    for (const KnownBoard& board : KnownBoards)
        if (port.vendorId == board.vendor && port.productId == board.product)
            return QString::fromLatin1(board.name);
    return {};
}

bool isUsbAdapter(const PortDescription& port) {
    return port.vendorId.has_value() || port.device.startsWith(QLatin1String("/dev/ttyUSB")) ||
           port.device.startsWith(QLatin1String("/dev/ttyACM"));
}
} // namespace

QList<PortDescription> presentPorts() {
    QList<PortDescription> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        PortDescription port{info.systemLocation(), info.description(), info.manufacturer(),
                             info.serialNumber(),   std::nullopt,       std::nullopt};
        if (info.hasVendorIdentifier())
            port.vendorId = info.vendorIdentifier();
        if (info.hasProductIdentifier())
            port.productId = info.productIdentifier();
        fillFromSysfs(port);
        ports << port;
    }
    return ports;
}

QList<PortDescription> usbAdaptersAmong(const QList<PortDescription>& ports) {
    QList<PortDescription> adapters;
    for (const PortDescription& port : ports)
        if (isUsbAdapter(port))
            adapters << port;
    return adapters;
}

QString describePort(const PortDescription& port) {
    QStringList parts;
    if (!port.description.isEmpty())
        parts << port.description;
    if (!port.manufacturer.isEmpty())
        parts << QStringLiteral("maker %1").arg(port.manufacturer);
    if (!port.serialNumber.isEmpty())
        parts << QStringLiteral("serial number %1").arg(port.serialNumber);
    if (port.vendorId)
        parts << QStringLiteral("USB id %1:%2")
                     .arg(*port.vendorId, 4, 16, QChar('0'))
                     .arg(port.productId.value_or(0), 4, 16, QChar('0'));
    if (const QString board = knownBoard(port); !board.isEmpty())
        parts.last() += QStringLiteral(": ") + board;
    if (parts.isEmpty())
        return port.device;
    return QStringLiteral("%1 (%2)").arg(port.device, parts.join(QStringLiteral(", ")));
}

Com1Choice chooseCom1(int defaultOpenError, const QList<PortDescription>& present, bool canAsk) {
    using Outcome = Com1Choice::Outcome;
    const QList<PortDescription> adapters = usbAdaptersAmong(present);
    if (defaultOpenError == 0)
        return {canAsk && !adapters.isEmpty() ? Outcome::DefaultOrAdapters : Outcome::Default,
                canAsk ? adapters : QList<PortDescription>()};
    // The board may be wired to the default port itself: its error and fix
    // are shown rather than passed over for an adapter.
    if (canAsk && refusesUs(defaultOpenError))
        return {Outcome::Refused, adapters};
    if (adapters.size() == 1)
        return {Outcome::OneAdapter, adapters};
    if (adapters.size() > 1)
        return {Outcome::SeveralAdapters, adapters};
    return {refusesUs(defaultOpenError) ? Outcome::Default : Outcome::NoneFound, {}};
}

RuntimeError noPortFound(int defaultOpenError, const QString& device, const SystemTree& tree) {
    const QString state = defaultOpenError == ENOENT ? QStringLiteral("was not found")
                          : defaultOpenError == ENOTTY
                              ? QStringLiteral("is not a serial device")
                              : QStringLiteral("could not be opened (%1)")
                                    .arg(QString::fromLocal8Bit(std::strerror(defaultOpenError)));
    QString hint = PortHints::brltty(tree);
    if (!hint.isEmpty())
        hint.prepend(QLatin1Char(' '));
    return RuntimeError(ErrorNumber::DeviceNotFound,
                        QStringLiteral("Serial port %1 (COM1) %2, and no USB serial adapter "
                                       "(/dev/ttyUSB*, /dev/ttyACM* or a port with a USB vendor "
                                       "id) is plugged in. Connect the board's serial adapter, "
                                       "or name its device with --port DEVICE or the "
                                       "environment variable ZERBO_PORT; zerbo --list-ports "
                                       "lists the serial ports present. Without hardware, "
                                       "zerbo-board plays the board: start it, then zerbo "
                                       "--port on the path it prints.")
                                .arg(device, state) +
                            hint);
}
