#pragma once

#include "base/Clock.h"
#include "updates/AppUpdateClient.h"
#include "updates/AppUpdateClientError.h"

#include <QList>
#include <QNetworkAccessManager>
#include <chrono>
#include <optional>

namespace mendo {

// Answers each check with the scripted snapshot or error, after `delay` of
// virtual time.
class ScriptedUpdateClient final : public AppUpdateClient {
public:
    ScriptedUpdateClient(QNetworkAccessManager& network, Clock& clock)
        : AppUpdateClient(QString(), network, clock)
        , m_clock(clock)
    {
    }
    Task<AppUpdateSnapshot> check(UiLanguage language) override
    {
        languages << language;
        co_await m_clock.sleep(delay);
        if (failure)
            throw AppUpdateClientError::server(*failure);
        co_return AppUpdateSnapshot(answer);
    }

    AppUpdateSnapshot answer;
    std::optional<QString> failure;
    Millis delay { 10 };
    QList<UiLanguage> languages;

private:
    Clock& m_clock;
};

}  // namespace mendo
