#pragma once

#include "model/PermissionState.h"
#include "base/Async.h"
#include "base/SerialTurns.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace mendo {

class InputMonitoring;
class Permissions;
class Processes;

// Where the user is sent to grant a permission.
enum class PermissionSettingsTarget { accessibility, inputMonitoring, privacy };

// The one place that asks the desktop about MendoAI's grants, asks for them,
// clears stale grants and opens the desktop's settings. Its calls take turns:
// a read asked for while a reset runs answers after the reset.
class PermissionService {
public:
    // The privacy database's reset tool of the system MendoAI was first made
    // for. Linux desktops have none, so a reset ends in its launch failure.
    static inline const QString resetTool = QStringLiteral("/usr/bin/tccutil");
    // The privacy services a reset clears, in order.
    static inline const QStringList resetServices { QStringLiteral("Accessibility"), QStringLiteral("ListenEvent") };

    // A settings program of a desktop; `desktop` is matched against the
    // entries of XDG_CURRENT_DESKTOP.
    struct SettingsProgram {
        QString desktop;
        QString program;
        QStringList arguments;
    };
    // The accessibility settings of the common desktops.
    static const QList<SettingsProgram>& accessibilitySettingsPrograms();

    // MendoAI's own application id first, then those of its other builds.
    static const QStringList& defaultBundleIds();

    PermissionService(Permissions& permissions, InputMonitoring& inputMonitoring, Processes& processes,
        QString currentDesktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP"),
        QStringList bundleIds = defaultBundleIds());

    const QStringList& mendoBundleIds() const { return m_bundleIds; }

    // Clears both privacy services for every id, one line per reset ("reset
    // <service> <id>", or "skip <service> <id> <tool's error output>" when the
    // tool refused). Throws the first launch failure.
    Task<QStringList> resetMendoPermissions();
    // Asks for both grants, then reads them.
    Task<PermissionState> requestAccess();
    // Reads both grants.
    Task<PermissionState> currentAccess();

    // Opens the desktop's accessibility settings for any target (the desktop
    // keeps no per-application list to send the user to). False when no known
    // settings program is installed or it would not start.
    bool openSettings(PermissionSettingsTarget target);

private:
    Task<QString> runResetTool(QString service, QString bundleId);
    PermissionState readGrants();

    Permissions& m_permissions;
    InputMonitoring& m_inputMonitoring;
    Processes& m_processes;
    QStringList m_desktops;
    QStringList m_bundleIds;
    SerialTurns m_turns;
};

}  // namespace mendo
