#pragma once

#include "base/Async.h"
#include "engine/AccountCredentials.h"
#include "engine/BackendClient.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeLanguageDetector.h"
#include "fakes/MemoryUserDefaults.h"
#include "support/MockAiService.h"

#include <QNetworkAccessManager>

namespace mendo {

// A client talking to the in-process mock service over loopback, with its
// timeouts on virtual time.
struct ServiceFixture {
    FakeClock clock;
    MockAiService mock { clock };
    bool listening = mock.listen();
    MemoryUserDefaults defaults;
    DefaultsAccountCredentials credentials { defaults };
    QNetworkAccessManager network;
    FakeLanguageDetector languages;
    BackendClient client { mock.aiURL(), credentials, network, clock, languages };

    ServiceFixture()
    {
        defaults.values.insert(QStringLiteral("mendo.account.accessToken"), QStringLiteral("token-1"));
        defaults.values.insert(QStringLiteral("mendo.account.deviceId"), QStringLiteral("DEVICE-1"));
    }

    QJsonObject body(int index) const { return mock.requests().value(index).json(); }
};

// Runs a task to its end in a nested event loop: its value or its error text.
template <class T> Outcome<T> finish(Task<T>&& task)
{
    return QCoro::waitFor(capture(std::move(task)));
}

// The value, or the error marked as such, for one comparison that shows both.
inline QString resultOf(const Outcome<QString>& outcome)
{
    return outcome.ok() ? *outcome.value : QStringLiteral("error: ") + outcome.error;
}

inline PromptStyle promptStyle(const QString& id, const QString& name = {})
{
    PromptStyle style;
    style.id = id;
    style.name = name;
    return style;
}

}  // namespace mendo
