#include "shell/TerminationSignals.h"

#include <QSocketNotifier>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace mendo {

namespace {

constexpr int kSignals[] = { SIGTERM, SIGINT, SIGHUP };

// A signal handler may only write to a descriptor; the pair is the one piece
// of process-wide state it needs.
int g_pipe[2] = { -1, -1 };
struct sigaction g_previous[std::size(kSignals)];
unsigned g_graceSeconds = 5;

void onSignal(int number)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const auto written = ::write(g_pipe[0], &byte, 1);
    // SIGALRM's default action ends the process; alarm() is async-signal-safe.
    ::alarm(g_graceSeconds);
    errno = savedErrno;
}

}  // namespace

TerminationSignals::TerminationSignals(std::chrono::seconds grace, QObject* parent)
    : QObject(parent)
{
    g_graceSeconds = static_cast<unsigned>(std::max<std::chrono::seconds::rep>(grace.count(), 1));
    if (g_pipe[0] != -1 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe) != 0) {
        qWarning("MendoAI: termination signals cannot be watched");
        return;
    }
    m_notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::drain);

    struct sigaction action { };
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &action, &g_previous[i]);
}

TerminationSignals::~TerminationSignals()
{
    if (!m_notifier)
        return;
    // The process is ending normally (or the watcher is simply gone).
    ::alarm(0);
    for (size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &g_previous[i], nullptr);
    delete m_notifier;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void TerminationSignals::drain()
{
    unsigned char byte = 0;
    while (::read(g_pipe[1], &byte, 1) == 1)
        Q_EMIT received(int(byte));
}

}  // namespace mendo
