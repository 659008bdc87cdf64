#include "base/SystemLog.h"

#include <syslog.h>

namespace mendo {

QString SystemLog::withPrefix(const QString& message)
{
    static const QString prefix = QStringLiteral("MendoAI ");
    return message.startsWith(prefix) ? message : prefix + message;
}

SyslogSystemLog::SyslogSystemLog()
{
    openlog("mendo", LOG_PID, LOG_USER);
}

void SyslogSystemLog::write(const QString& message)
{
    // Passed as an argument, never as the format: the text may hold '%'.
    syslog(LOG_NOTICE, "%s", withPrefix(message).toUtf8().constData());
}

}  // namespace mendo
