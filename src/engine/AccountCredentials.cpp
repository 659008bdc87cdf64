#include "engine/AccountCredentials.h"

#include "base/Text.h"
#include "platform/UserDefaults.h"

#include <QUuid>

#ifndef MENDO_SERVICE_URL
#define MENDO_SERVICE_URL "https://api.mendo.ai"
#endif

namespace mendo {

namespace {
const QString accessTokenKey = QStringLiteral("mendo.account.accessToken");
const QString deviceIdKey = QStringLiteral("mendo.account.deviceId");
const QString baseURLKey = QStringLiteral("mendo.service.baseURL");
}  // namespace

QString DefaultsAccountCredentials::accessToken()
{
    return text::trimmed(m_defaults.string(accessTokenKey).value_or(QString()));
}

QString DefaultsAccountCredentials::deviceId()
{
    const QString stored = text::trimmed(m_defaults.string(deviceIdKey).value_or(QString()));
    if (!stored.isEmpty())
        return stored;
    const QString made = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    m_defaults.set(deviceIdKey, made);
    return made;
}

QString serviceBaseURL(const UserDefaults& defaults)
{
    QString base = text::trimmed(defaults.string(baseURLKey).value_or(QString()));
    if (base.isEmpty())
        base = QStringLiteral(MENDO_SERVICE_URL);
    while (base.endsWith(u'/'))
        base.chop(1);
    return base;
}

QString aiServiceURL(const UserDefaults& defaults)
{
    return serviceBaseURL(defaults) + QStringLiteral("/macos/ai");
}

}  // namespace mendo
