#include "base/Clock.h"
#include "base/SystemLog.h"
#include "platform/Platform.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("MendoAI"));
    QApplication::setOrganizationName(QStringLiteral("MendoAI"));
    QApplication::setApplicationVersion(QStringLiteral(MENDO_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);

    mendo::RealClock clock;
    mendo::SyslogSystemLog log;
    mendo::Platform platform{&clock, &log};
    (void)platform;

    return app.exec();
}
