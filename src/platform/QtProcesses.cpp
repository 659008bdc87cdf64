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
    process.start(program, arguments, QIODevice::ReadOnly);
    // Only as long as the exec itself takes: whether the program could be
    // started is known once the child has replaced itself or failed to.
    if (!process.waitForStarted(-1))
        throw MessageError(process.errorString());
    // The child's run time is its own: no timeout cuts it short.
    co_await qCoro(process).waitForFinished(std::chrono::milliseconds(-1));
    co_return ProcessExit { process.exitCode(), process.exitStatus() == QProcess::CrashExit,
        process.readAllStandardError() };
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
