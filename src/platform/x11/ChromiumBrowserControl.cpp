#include "platform/x11/ChromiumBrowserControl.h"

#include "platform/x11/ApplicationIdResolver.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

namespace mendo {

namespace {

const QLatin1String userDataDirPrefix("--user-data-dir=");

bool isExecutableFile(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

}  // namespace

ChromiumBrowserControl::ChromiumBrowserControl(Processes& processes, QStringList applicationDirs, QString procRoot)
    : m_processes(processes)
    , m_applicationDirs(std::move(applicationDirs))
    , m_procRoot(std::move(procRoot))
{
}

bool ChromiumBrowserControl::openAppWindow(const RunningApplication& browser, const QString& address)
{
    const auto command = appWindowCommand(browser, address);
    return command && m_processes.startDetached(command->program, command->arguments);
}

std::optional<ChromiumBrowserControl::Command> ChromiumBrowserControl::appWindowCommand(
    const RunningApplication& browser, const QString& address) const
{
    if (address.isEmpty())
        return std::nullopt;
    std::optional<Command> command = entryCommand(browser.bundleIdentifier);
    if (!command && browser.processIdentifier > 0) {
        // The running binary itself, unless it was replaced by an update
        // ("... (deleted)") or belongs to someone else.
        const QString executable = QFileInfo(processFile(browser.processIdentifier, QStringLiteral("exe"))).symLinkTarget();
        if (!executable.isEmpty() && isExecutableFile(executable))
            command = Command { executable, {} };
    }
    if (!command)
        return std::nullopt;
    if (browser.processIdentifier > 0) {
        QFile cmdline(processFile(browser.processIdentifier, QStringLiteral("cmdline")));
        if (cmdline.open(QIODevice::ReadOnly)) {
            const QList<QByteArray> arguments = cmdline.readAll().split('\0');
            for (qsizetype i = 1; i < arguments.size(); ++i) {
                const QString argument = QString::fromLocal8Bit(arguments[i]);
                if (argument.startsWith(userDataDirPrefix) && argument.size() > userDataDirPrefix.size()) {
                    command->arguments << argument;
                    break;
                }
            }
        }
    }
    command->arguments << QStringLiteral("--app=") + address;
    return command;
}

std::optional<ChromiumBrowserControl::Command> ChromiumBrowserControl::entryCommand(const QString& applicationId) const
{
    const QString exec = ApplicationIdResolver::execOf(m_applicationDirs, applicationId);
    QStringList words = QProcess::splitCommand(exec);
    if (words.isEmpty())
        return std::nullopt;
    // The field codes stand for files and addresses to open: none here.
    static const QRegularExpression fieldCode(QStringLiteral("^%[fFuUdDnNickvm]$"));
    QStringList arguments;
    for (qsizetype i = 1; i < words.size(); ++i) {
        if (!fieldCode.match(words[i]).hasMatch())
            arguments << words[i].replace(QLatin1String("%%"), QLatin1String("%"));
    }
    QString program = words.first();
    if (!program.contains(QLatin1Char('/')))
        program = m_processes.findExecutable(program);
    if (program.isEmpty() || !isExecutableFile(program))
        return std::nullopt;
    return Command { program, arguments };
}

QString ChromiumBrowserControl::processFile(qint32 pid, const QString& name) const
{
    return m_procRoot + QLatin1Char('/') + QString::number(pid) + QLatin1Char('/') + name;
}

}  // namespace mendo
