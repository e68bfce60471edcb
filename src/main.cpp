#include "app/command_line.h"
#include "app/error_report.h"
#include "app/shutdown.h"
#include "app/zerbo.h"
#include "app/zerbo_application.h"
#include "form/form_scale.h"

#include <cstdio>

namespace {
// With ZERBO_REPORT_GEOMETRY set, one line on standard error once the window
// stands at its start position: how it fits a screen nobody looks at.
void reportGeometry(const QWidget& window) {
    if (!qEnvironmentVariableIsSet("ZERBO_REPORT_GEOMETRY"))
        return;
    const QRect frame = window.frameGeometry(), area = fittedArea();
    std::fprintf(stderr, "geometry: scale %.4f frame %d %d %d %d available %d %d %d %d\n",
                 formScale(), frame.x(), frame.y(), frame.width(), frame.height(), area.x(),
                 area.y(), area.width(), area.height());
}
} // namespace

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
    reportGeometry(zerbo.form);
    return ZerboApplication::exec();
}
