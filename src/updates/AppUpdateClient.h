#pragma once

#include "base/Async.h"
#include "base/UiLanguage.h"
#include "updates/AppUpdateResponse.h"

#include <QUrl>

class QNetworkAccessManager;

namespace mendo {

class Clock;
class SystemLog;

// Asks the update service whether a newer MendoAI exists: a GET of
// "/macos/app/version" under the service's base address. Failures arrive as
// exceptions: AppUpdateClientError, or NetworkError below HTTP.
class AppUpdateClient {
public:
    static constexpr qint64 maxAnswerBytes = 1 << 20;

    AppUpdateClient(QString baseURL, QNetworkAccessManager& network, Clock& clock, SystemLog* log = nullptr);
    virtual ~AppUpdateClient() = default;

    // The address asked for `language`; throws invalidURL when it is not an
    // https one (or plain http to this machine).
    QUrl requestURL(UiLanguage language) const;
    virtual Task<AppUpdateSnapshot> check(UiLanguage language);

private:
    QString m_baseURL;
    QNetworkAccessManager* m_network;
    Clock* m_clock;
    SystemLog* m_log;
};

}  // namespace mendo
