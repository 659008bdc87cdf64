#include "updates/AppUpdateManager.h"

#include "app/MendoAppState.h"
#include "base/Error.h"
#include "platform/UrlOpener.h"
#include "platform/UserDefaults.h"
#include "updates/AppUpdateClient.h"

namespace mendo {

AppUpdateManager::AppUpdateManager(
    AppUpdateClient& client, UserDefaults& defaults, UrlOpener& urlOpener, Clock& clock, QObject* parent)
    : QObject(parent)
    , m_client(client)
    , m_defaults(defaults)
    , m_urlOpener(urlOpener)
    , m_clock(clock)
    , m_lastNotifiedBuild(defaults.integer(QString::fromLatin1(lastNotifiedBuildKey)))
{
}

AppUpdateManager::~AppUpdateManager() = default;

void AppUpdateManager::startAutomaticChecks(MendoAppState& appState)
{
    m_appState = &appState;
    m_launchCheck = m_clock.singleShot(Millis(0), [this] {
        // Not throttled, and it leaves the date of the last timer check alone.
        if (m_appState && m_appState->settings().automaticUpdateChecksEnabled)
            detach(checkForUpdates(m_appState->settings(), CheckTrigger::launch));
    });
    m_automaticCheckTimer = m_clock.repeating(automaticCheckInterval, [this] {
        if (m_appState)
            detach(checkAutomaticallyIfNeeded(m_appState->settings()));
    });
}

Task<> AppUpdateManager::checkAutomaticallyIfNeeded(MendoSettings settings)
{
    if (!settings.automaticUpdateChecksEnabled)
        co_return;
    // A date in the future counts as recent too.
    if (const auto last = m_defaults.date(QString::fromLatin1(lastAutomaticCheckKey)))
        if (last->secsTo(m_clock.wallNow()) < automaticCheckSpacingSeconds)
            co_return;
    co_await checkForUpdates(std::move(settings), CheckTrigger::automatic);
}

void AppUpdateManager::checkManually(const MendoSettings& settings)
{
    detach(checkForUpdates(settings, CheckTrigger::manual));
}

Task<> AppUpdateManager::checkForUpdates(MendoSettings settings, CheckTrigger trigger)
{
    if (m_isChecking)
        co_return;
    setChecking(true);
    setMessage(std::nullopt);
    if (trigger == CheckTrigger::manual)
        setAlertMessage(std::nullopt);

    QPointer<AppUpdateManager> self(this);
    std::optional<AppUpdateSnapshot> result;
    QString failure;
    try {
        result = co_await m_client.check(settings.uiLanguage);
    } catch (const std::exception& error) {
        failure = describeException(error);
    }
    if (!self)
        co_return;

    setChecking(false);
    if (!result) {
        setMessage(failure);
        if (trigger == CheckTrigger::manual)
            setAlertMessage(failure);
        co_return;
    }
    m_snapshot = *result;
    Q_EMIT snapshotChanged();
    if (trigger == CheckTrigger::automatic)
        m_defaults.set(QString::fromLatin1(lastAutomaticCheckKey), m_clock.wallNow());
    handleCheckResult(m_snapshot, settings, trigger);
}

void AppUpdateManager::handleCheckResult(
    const AppUpdateSnapshot& snapshot, const MendoSettings& settings, CheckTrigger trigger)
{
    const bool russian = settings.uiLanguage == UiLanguage::ru;
    if (!snapshot.updateAvailable) {
        setMessage(russian ? QStringLiteral("Установлена актуальная версия MendoAI.")
                           : QStringLiteral("MendoAI is up to date."));
        return;
    }
    QString text = russian
        ? QStringLiteral("Доступна версия %1.").arg(snapshot.latestVersion.value_or(QStringLiteral("новая")))
        : QStringLiteral("Version %1 is available.").arg(snapshot.latestVersion.value_or(QStringLiteral("new")));
    if (snapshot.message)
        text = *snapshot.message;
    setMessage(text);

    const bool alert = snapshot.forceUpdate || trigger == CheckTrigger::manual
        || (settings.updateNotificationsEnabled
            && (!snapshot.latestBuild || m_lastNotifiedBuild < *snapshot.latestBuild));
    if (!alert)
        return;
    setAlertMessage(text);
    // A build counts as announced once the user saw its alert, so one found
    // while the Updates page stays closed is announced again at the next
    // check. An empty alert is never shown: it counts at once.
    m_alertBuild = snapshot.latestBuild;
    if (text.isEmpty())
        alertShown();
}

void AppUpdateManager::alertShown()
{
    if (const auto build = std::exchange(m_alertBuild, std::nullopt))
        storeNotifiedBuild(*build);
}

void AppUpdateManager::storeNotifiedBuild(qint64 build)
{
    m_lastNotifiedBuild = build;
    m_defaults.set(QString::fromLatin1(lastNotifiedBuildKey), build);
}

void AppUpdateManager::openDownload()
{
    if (!m_snapshot.downloadURL) {
        setMessage(QStringLiteral("Update download URL is not available."));
        return;
    }
    if (!m_urlOpener.open(*m_snapshot.downloadURL)) {
        const QString text = QStringLiteral("Could not open update download.");
        setMessage(text);
        setAlertMessage(text);
    }
}

void AppUpdateManager::setChecking(bool checking)
{
    if (m_isChecking == checking)
        return;
    m_isChecking = checking;
    Q_EMIT isCheckingChanged();
}

void AppUpdateManager::setMessage(std::optional<QString> text)
{
    if (m_message == text)
        return;
    m_message = std::move(text);
    Q_EMIT messageChanged();
}

void AppUpdateManager::setAlertMessage(std::optional<QString> text)
{
    if (m_alertMessage == text)
        return;
    m_alertMessage = std::move(text);
    Q_EMIT alertMessageChanged();
}

}  // namespace mendo
