#pragma once

#include "platform/DisplayGuard.h"
#include "platform/x11/X11Connection.h"

#include <QByteArray>
#include <QString>

#include <sys/types.h>

namespace mendo {

// The guard as a child process (the mendo-display-guard program), started
// with the kernel's parent-death signal: it outlives MendoAI only to switch
// the display on. It is never stopped when MendoAI merely ends, since that
// is exactly when a display left off needs it.
class X11DisplayGuard final : public DisplayGuard {
public:
    // `program`: the guard's executable; `displayName`: the X display the
    // display belongs to.
    X11DisplayGuard(QString program, QByteArray displayName);

    // mendo-display-guard beside the running executable.
    static QString standardProgram();
    // The name the connection was opened with (":0", ...).
    static QByteArray displayName(x11::X11Connection& connection);

    void watch(DisplayId display) override;
    void release() override;

    pid_t pid() const { return m_pid; }

private:
    QString m_program;
    QByteArray m_displayName;
    pid_t m_pid = 0;
};

}  // namespace mendo
