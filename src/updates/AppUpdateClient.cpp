#include "updates/AppUpdateClient.h"

#include "base/Clock.h"
#include "base/SystemLog.h"
#include "engine/HttpExchange.h"
#include "updates/AppBuildConfiguration.h"
#include "updates/AppUpdateClientError.h"

#include <QNetworkRequest>
#include <QUrlQuery>

namespace mendo {

using namespace std::chrono_literals;

AppUpdateClient::AppUpdateClient(QString baseURL, QNetworkAccessManager& network, Clock& clock, SystemLog* log)
    : m_baseURL(std::move(baseURL))
    , m_network(&network)
    , m_clock(&clock)
    , m_log(log)
{
}

QUrl AppUpdateClient::requestURL(UiLanguage language) const
{
    QUrl url(m_baseURL + QStringLiteral("/macos/app/version"), QUrl::StrictMode);
    if (!isAcceptableServiceURL(url))
        throw AppUpdateClientError::invalidURL();
    QUrlQuery query;
    query.setQueryItems({
        { QStringLiteral("channel"), QStringLiteral("release") },
        // Wire values the service relies on, like the path.
        { QStringLiteral("platform"), QStringLiteral("macos") },
        { QStringLiteral("current_version"), AppBuildConfiguration::currentVersion() },
        { QStringLiteral("current_build"), QString::number(AppBuildConfiguration::currentBuild()) },
        { QStringLiteral("bundle_id"), QStringLiteral("ai.mendo.MendoAI") },
        { QStringLiteral("locale"), language == UiLanguage::ru ? QStringLiteral("ru") : QStringLiteral("en") },
    });
    url.setQuery(query);
    return url;
}

Task<AppUpdateSnapshot> AppUpdateClient::check(UiLanguage language)
{
    QNetworkRequest request(requestURL(language));
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    // 20 s without data, 30 s in all.
    const HttpAnswer answer = co_await exchangeHttp(
        *m_network, *m_clock, request, QByteArrayLiteral("GET"), {}, { 20s, 20s, 30s }, maxAnswerBytes);

    QString why = QStringLiteral("over %1 bytes").arg(maxAnswerBytes);
    const auto response = answer.tooLarge ? std::nullopt : AppUpdateResponse::decode(answer.body, &why);
    if (answer.status >= 200 && answer.status <= 299) {
        if (!response) {
            if (m_log)
                m_log->write(QStringLiteral("update answer could not be read: %1").arg(why));
            throw AppUpdateClientError::unreadable();
        }
        if (response->ok && !*response->ok)
            throw AppUpdateClientError::server(response->error.value_or(QStringLiteral("Update check failed.")));
        co_return response->snapshot(language, m_clock->wallNow(), AppBuildConfiguration::currentBuild());
    }
    if (response && response->error && !response->error->isEmpty())
        throw AppUpdateClientError::server(*response->error);
    throw AppUpdateClientError::server(QStringLiteral("Update server returned HTTP %1.").arg(answer.status));
}

}  // namespace mendo
