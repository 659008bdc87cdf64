#include "platform/x11/X11DisplayGuard.h"

#include <QCoreApplication>
#include <QFile>

#include <X11/Xlib.h>

#include <cerrno>
#include <csignal>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace mendo {

X11DisplayGuard::X11DisplayGuard(QString program, QByteArray displayName)
    : m_program(std::move(program))
    , m_displayName(std::move(displayName))
{
}

QString X11DisplayGuard::standardProgram()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/mendo-display-guard");
}

QByteArray X11DisplayGuard::displayName(x11::X11Connection& connection)
{
    if (Display* display = connection.display())
        return QByteArray(DisplayString(display));
    return qgetenv("DISPLAY");
}

void X11DisplayGuard::watch(DisplayId display)
{
    release();
    // Everything the child needs is made before the fork: between fork and
    // exec a threaded process may only make async-signal-safe calls.
    const QByteArray program = QFile::encodeName(m_program);
    const QByteArray output = QByteArray::number(display);
    const QByteArray parent = QByteArray::number(qint64(::getpid()));
    QByteArray displayName = m_displayName;
    char* argv[] = { const_cast<char*>(program.constData()), displayName.data(), const_cast<char*>(output.constData()),
        const_cast<char*>(parent.constData()), nullptr };
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Tied to the thread that forks: this is the main thread, which
        // lives as long as the process.
        ::prctl(PR_SET_PDEATHSIG, SIGUSR1);
        ::execv(argv[0], argv);
        ::_exit(127);
    }
    if (pid > 0)
        m_pid = pid;
}

void X11DisplayGuard::release()
{
    if (m_pid <= 0)
        return;
    // It may have ended by itself already (the display came on); either way
    // it is reaped here.
    ::kill(m_pid, SIGTERM);
    // It answers SIGTERM only from its event loop: one still connecting to
    // the server must not hold MendoAI's main thread.
    for (int wait = 0; wait < 40; ++wait) {
        const pid_t done = ::waitpid(m_pid, nullptr, WNOHANG);
        if (done == m_pid || (done < 0 && errno != EINTR)) {
            m_pid = 0;
            return;
        }
        ::usleep(5000);
    }
    ::kill(m_pid, SIGKILL);
    while (::waitpid(m_pid, nullptr, 0) < 0 && errno == EINTR) { }
    m_pid = 0;
}

}  // namespace mendo
