#include "platform/QtProcesses.h"

#include <QProcess>
#include <QStandardPaths>
#include <qcoro/qcoroprocess.h>

namespace mendo {

Task<ProcessExit> QtProcesses::run(QString program, QStringList arguments)
{
    QProcess process;
    process.setInputChannelMode(QProcess::ForwardedInputChannel);
    process.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    const bool started = co_await qCoro(process).start(program, arguments, QIODevice::ReadOnly, std::chrono::milliseconds(-1));
    if (!started)
        throw MessageError(process.errorString());
    // The child's run time is its own: no timeout cuts it short.
    co_await qCoro(process).waitForFinished(std::chrono::milliseconds(-1));
    co_return ProcessExit{process.exitCode(), process.exitStatus() == QProcess::CrashExit,
                          process.readAllStandardError()};
}

bool QtProcesses::startDetached(const QString& program, const QStringList& arguments)
{
    return QProcess::startDetached(program, arguments);
}

QString QtProcesses::findExecutable(const QString& name) const
{
    return QStandardPaths::findExecutable(name);
}

}  // namespace mendo
