#include "app/command_line.h"

#include <QCommandLineParser>

QString com1DeviceFrom(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Tests the serial link to a microcontroller board: receives the codes "
                       "0 to 255 into a table, shows their bit patterns and sends bytes back."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption port(
        QStringLiteral("port"),
        QStringLiteral("Serial device used as COM1 (default: the "
                       "environment variable ZERBO_PORT, else /dev/ttyS0)."),
        QStringLiteral("DEVICE"));
    parser.addOption(port);
    parser.process(arguments);
    if (parser.isSet(port))
        return parser.value(port);
    const QString fromEnvironment = qEnvironmentVariable("ZERBO_PORT");
    return fromEnvironment.isEmpty() ? QStringLiteral("/dev/ttyS0") : fromEnvironment;
}
