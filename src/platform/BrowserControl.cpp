#include "platform/BrowserControl.h"

#include <QStringList>

namespace mendo {

bool BrowserControl::takesAppWindows(const QString& applicationId)
{
    static const QStringList ids { QStringLiteral("chromium"), QStringLiteral("google-chrome"),
        QStringLiteral("Chromium"), QStringLiteral("Google-chrome") };
    return ids.contains(applicationId);
}

}  // namespace mendo
