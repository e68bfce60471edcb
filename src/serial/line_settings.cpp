// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/line_settings.h"

#include <QSerialPort>
#include <QStringList>

namespace {
// The fastest rate Linux can program (termios2 with BOTHER).
constexpr qint32 maxBaud = 4000000;

std::optional<qint32> parseBaud(const QString& text) {
    bool ok = false;
    const qint32 baud = text.toInt(&ok);
    if (!ok || baud <= 0 || baud > maxBaud)
        return std::nullopt;
    return baud;
}

std::optional<char> parseParity(const QString& text) {
    const QString upper = text.toUpper();
    if (upper.size() != 1 || !QStringLiteral("NEOMS").contains(upper))
        return std::nullopt;
    return upper.at(0).toLatin1();
}

std::optional<int> parseDataBits(const QString& text) {
    bool ok = false;
    const int bits = text.toInt(&ok);
    if (!ok || bits < 5 || bits > 8)
        return std::nullopt;
    return bits;
}

std::optional<LineSettings::StopBits> parseStopBits(const QString& text) {
    if (text == QLatin1String("1"))
        return LineSettings::StopBits::One;
    if (text == QLatin1String("1.5"))
        return LineSettings::StopBits::OneAndHalf;
    if (text == QLatin1String("2"))
        return LineSettings::StopBits::Two;
    return std::nullopt;
}

QSerialPort::Parity toQtParity(char parity) {
    switch (parity) {
    case 'E':
        return QSerialPort::EvenParity;
    case 'O':
        return QSerialPort::OddParity;
    case 'M':
        return QSerialPort::MarkParity;
    case 'S':
        return QSerialPort::SpaceParity;
    default:
        return QSerialPort::NoParity;
    }
}

QSerialPort::StopBits toQtStopBits(LineSettings::StopBits stopBits) {
    // QSerialPort ignores 1.5 on Linux; the UART sends 1.5 stop bits when told
    // "two" with 5 data bits, the one frame where 1.5 exists.
    switch (stopBits) {
    case LineSettings::StopBits::OneAndHalf:
    case LineSettings::StopBits::Two:
        return QSerialPort::TwoStop;
    default:
        return QSerialPort::OneStop;
    }
}
} // namespace

std::optional<LineSettings> parseLineSettings(const QString& text) {
    const QStringList fields = text.split(QLatin1Char(','));
    if (fields.size() != 4)
        return std::nullopt;
    const auto baud = parseBaud(fields[0].trimmed());
    const auto parity = parseParity(fields[1].trimmed());
    const auto dataBits = parseDataBits(fields[2].trimmed());
    const auto stopBits = parseStopBits(fields[3].trimmed());
    if (!baud || !parity || !dataBits || !stopBits)
        return std::nullopt;
    return LineSettings{*baud, *parity, *dataBits, *stopBits};
}

void recordLineSettings(QSerialPort& port, const LineSettings& settings) {
    port.setBaudRate(settings.baud);
    port.setParity(toQtParity(settings.parity));
    port.setDataBits(static_cast<QSerialPort::DataBits>(settings.dataBits));
    port.setStopBits(toQtStopBits(settings.stopBits));
    port.setFlowControl(QSerialPort::NoFlowControl);
}
