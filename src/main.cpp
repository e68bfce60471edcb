#include "app/command_line.h"
#include "app/error_report.h"
#include "app/shutdown.h"
#include "app/zerbo.h"
#include "app/zerbo_application.h"

int main(int argc, char* argv[]) {
    ZerboApplication app(argc, argv);
    ZerboApplication::setApplicationName(QStringLiteral("zerbo"));
    ZerboApplication::setApplicationVersion(QStringLiteral(ZERBO_VERSION));
    const QString device = com1DeviceFrom(ZerboApplication::arguments());

    Zerbo zerbo(device);
    Shutdown::setPort(&zerbo.comTest);
    try {
        zerbo.Form_Load();
    } catch (const std::exception& error) {
        reportErrorAndEnd(error);
    }
    return ZerboApplication::exec();
}
