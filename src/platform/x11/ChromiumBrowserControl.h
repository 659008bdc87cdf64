#pragma once

#include "platform/BrowserControl.h"
#include "platform/Processes.h"

#include <QStringList>

#include <optional>

namespace mendo {

// App windows of Chromium and Google Chrome. The request goes to the
// browser's own program (its desktop entry's Exec, else the executable of the
// running process), started with an argument list, never through a shell:
// the running process's --user-data-dir= when it has one, then --app= and the
// address. With the same profile folder, the new process hands the request to
// the running browser and ends, and the window opens in the profile the user
// last used there; without it a second browser would start in the default
// folder, without the user's logins.
class ChromiumBrowserControl final : public BrowserControl {
public:
    struct Command {
        QString program;
        QStringList arguments;
    };

    // `procRoot` is where the processes are described ("/proc").
    ChromiumBrowserControl(Processes& processes, QStringList applicationDirs, QString procRoot = QStringLiteral("/proc"));

    bool openAppWindow(const RunningApplication& browser, const QString& address) override;

    // What openAppWindow() starts; nothing when no program is known.
    std::optional<Command> appWindowCommand(const RunningApplication& browser, const QString& address) const;

private:
    // The desktop entry's command without its field codes; nothing when the
    // entry is missing or its program cannot be found.
    std::optional<Command> entryCommand(const QString& applicationId) const;
    // The profile folder the process was started with; empty for the
    // default one.
    QString userDataDir(qint32 pid) const;
    QString processFile(qint32 pid, const QString& name) const;

    Processes& m_processes;
    QStringList m_applicationDirs;
    QString m_procRoot;
};

}  // namespace mendo
