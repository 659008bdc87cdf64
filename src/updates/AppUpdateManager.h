#pragma once

#include "base/Async.h"
#include "base/Clock.h"
#include "model/MendoSettings.h"
#include "updates/AppUpdateResponse.h"

#include <QObject>
#include <QPointer>
#include <memory>
#include <optional>

namespace mendo {

class AppUpdateClient;
class MendoAppState;
class UrlOpener;
class UserDefaults;

// Checks for a newer MendoAI: at start, on a six-hour timer (at most once a
// day) and whenever the user asks; turns each result into a status line and,
// when the rules say so, an alert for the Updates page. Nothing is installed
// in place on Linux: the download page opens in the browser.
class AppUpdateManager : public QObject {
    Q_OBJECT
public:
    enum class CheckTrigger { launch, automatic, manual };

    static constexpr Millis automaticCheckInterval { 21'600'000 };
    static constexpr qint64 automaticCheckSpacingSeconds = 86'400;
    static constexpr const char* lastAutomaticCheckKey = "mendo.updates.lastAutomaticCheckAt";
    static constexpr const char* lastNotifiedBuildKey = "mendo.updates.lastNotifiedBuild";

    AppUpdateManager(
        AppUpdateClient& client, UserDefaults& defaults, UrlOpener& urlOpener, Clock& clock, QObject* parent = nullptr);
    ~AppUpdateManager() override;

    const AppUpdateSnapshot& snapshot() const { return m_snapshot; }
    bool isChecking() const { return m_isChecking; }
    const std::optional<QString>& message() const { return m_message; }
    // Shown by the Updates page when present and not empty.
    const std::optional<QString>& alertMessage() const { return m_alertMessage; }
    // The Updates page clears it when the alert is dismissed.
    void setAlertMessage(std::optional<QString> text);
    // The Updates page opened the alert: its build now counts as announced.
    void alertShown();
    qint64 lastNotifiedBuild() const { return m_lastNotifiedBuild; }

    // Checks on the next turn of the event loop and every six hours after
    // (each at most once a day); a second call replaces both, while a check
    // already running finishes.
    virtual void startAutomaticChecks(MendoAppState& appState);
    Task<> checkAutomaticallyIfNeeded(MendoSettings settings);
    // Starts a check and returns at once.
    void checkManually(const MendoSettings& settings);
    void openDownload();

Q_SIGNALS:
    void snapshotChanged();
    void isCheckingChanged();
    void messageChanged();
    void alertMessageChanged();

private:
    Task<> checkForUpdates(MendoSettings settings, CheckTrigger trigger);
    void handleCheckResult(const AppUpdateSnapshot& snapshot, const MendoSettings& settings, CheckTrigger trigger);
    void setChecking(bool checking);
    void setMessage(std::optional<QString> text);
    void storeNotifiedBuild(qint64 build);

    AppUpdateClient& m_client;
    UserDefaults& m_defaults;
    UrlOpener& m_urlOpener;
    Clock& m_clock;
    QPointer<MendoAppState> m_appState;
    std::unique_ptr<Timer> m_launchCheck;
    std::unique_ptr<Timer> m_automaticCheckTimer;

    AppUpdateSnapshot m_snapshot;
    bool m_isChecking = false;
    std::optional<QString> m_message;
    std::optional<QString> m_alertMessage;
    qint64 m_lastNotifiedBuild = 0;
    // The build of the alert waiting to be shown.
    std::optional<qint64> m_alertBuild;
};

}  // namespace mendo
