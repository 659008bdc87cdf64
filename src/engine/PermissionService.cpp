#include "engine/PermissionService.h"

#include "base/Text.h"
#include "platform/InputMonitoring.h"
#include "platform/Permissions.h"
#include "platform/Processes.h"

#include <algorithm>

namespace mendo {

const QList<PermissionService::SettingsProgram>& PermissionService::accessibilitySettingsPrograms()
{
    static const QList<SettingsProgram> programs {
        { QStringLiteral("GNOME"), QStringLiteral("gnome-control-center"), { QStringLiteral("universal-access") } },
        { QStringLiteral("KDE"), QStringLiteral("systemsettings"), { QStringLiteral("kcm_access") } },
        { QStringLiteral("KDE"), QStringLiteral("systemsettings5"), { QStringLiteral("kcm_access") } },
        { QStringLiteral("XFCE"), QStringLiteral("xfce4-accessibility-settings"), {} },
        { QStringLiteral("MATE"), QStringLiteral("mate-at-properties"), {} },
        { QStringLiteral("X-Cinnamon"), QStringLiteral("cinnamon-settings"), { QStringLiteral("accessibility") } },
    };
    return programs;
}

const QStringList& PermissionService::defaultBundleIds()
{
    static const QStringList ids { QStringLiteral("ai.mendo.MendoAI"), QStringLiteral("ai.mendo.MendoAI.Devel"),
        QStringLiteral("ai.mendo.MendoAI.Beta"), QStringLiteral("MendoAI"), QStringLiteral("mendo") };
    return ids;
}

PermissionService::PermissionService(Permissions& permissions, InputMonitoring& inputMonitoring, Processes& processes,
    QString currentDesktop, QStringList bundleIds)
    : m_permissions(permissions)
    , m_inputMonitoring(inputMonitoring)
    , m_processes(processes)
    , m_desktops(currentDesktop.split(QLatin1Char(':'), Qt::SkipEmptyParts))
    , m_bundleIds(std::move(bundleIds))
{
}

Task<QStringList> PermissionService::resetMendoPermissions()
{
    SerialTurns::Turn turn = co_await m_turns.acquire();
    QStringList lines;
    for (const QString& service : resetServices) {
        for (const QString& bundleId : m_bundleIds)
            lines << co_await runResetTool(service, bundleId);
    }
    co_return lines;
}

Task<QString> PermissionService::runResetTool(QString service, QString bundleId)
{
    const QStringList arguments { QStringLiteral("reset"), service, bundleId };
    const ProcessExit exit = co_await m_processes.run(resetTool, arguments);
    if (exit.succeeded())
        co_return QStringLiteral("reset ") + service + QLatin1Char(' ') + bundleId;
    // Not a failure: the database may simply not know this id.
    const QString output = text::trimmed(QString::fromUtf8(exit.standardError));
    co_return QStringLiteral("skip ") + service + QLatin1Char(' ') + bundleId + QLatin1Char(' ') + output;
}

Task<PermissionState> PermissionService::requestAccess()
{
    SerialTurns::Turn turn = co_await m_turns.acquire();
    m_permissions.requestAccessibility();
    m_inputMonitoring.requestInputMonitoring();
    co_return readGrants();
}

Task<PermissionState> PermissionService::currentAccess()
{
    SerialTurns::Turn turn = co_await m_turns.acquire();
    co_return readGrants();
}

PermissionState PermissionService::readGrants()
{
    PermissionState state;
    state.accessibilityGranted = m_permissions.accessibilityGranted();
    state.inputMonitoringGranted = m_inputMonitoring.inputMonitoringGranted();
    return state;
}

bool PermissionService::openSettings(PermissionSettingsTarget)
{
    // The running desktop's own settings first, then any other that is installed.
    QList<SettingsProgram> ordered = accessibilitySettingsPrograms();
    std::stable_partition(ordered.begin(), ordered.end(),
        [this](const SettingsProgram& program) { return m_desktops.contains(program.desktop, Qt::CaseInsensitive); });
    for (const SettingsProgram& program : ordered) {
        const QString path = m_processes.findExecutable(program.program);
        if (!path.isEmpty() && m_processes.startDetached(path, program.arguments))
            return true;
    }
    return false;
}

}  // namespace mendo
