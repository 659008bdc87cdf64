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
        const QString folder = userDataDir(browser.processIdentifier);
        if (!folder.isEmpty())
            command->arguments << userDataDirPrefix + folder;
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

QString ChromiumBrowserControl::userDataDir(qint32 pid) const
{
    QFile file(processFile(pid, QStringLiteral("cmdline")));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {};
    // /proc reports a size of 0: read until the end instead.
    QByteArray bytes;
    for (QByteArray chunk = file.read(65536); !chunk.isEmpty(); chunk = file.read(65536))
        bytes += chunk;
    const QList<QByteArray> arguments = bytes.split('\0');
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString argument = QString::fromLocal8Bit(arguments[i]);
        if (argument.startsWith(userDataDirPrefix))
            return argument.mid(userDataDirPrefix.size());
    }
    // The browser process renames itself, which joins its arguments with
    // spaces into one: the folder runs to the next switch at most, and is
    // the longest part of that which names a folder.
    const QString line = QString::fromLocal8Bit(arguments.value(0));
    const qsizetype at = line.indexOf(QLatin1Char(' ') + userDataDirPrefix);
    if (at < 0)
        return {};
    QString candidate = line.mid(at + 1 + userDataDirPrefix.size());
    if (const qsizetype next = candidate.indexOf(QLatin1String(" --")); next >= 0)
        candidate.truncate(next);
    while (!candidate.isEmpty()) {
        if (QFileInfo(candidate).isDir())
            return candidate;
        const qsizetype space = candidate.lastIndexOf(QLatin1Char(' '));
        if (space < 0)
            break;
        candidate.truncate(space);
    }
    return {};
}

QString ChromiumBrowserControl::processFile(qint32 pid, const QString& name) const
{
    return m_procRoot + QLatin1Char('/') + QString::number(pid) + QLatin1Char('/') + name;
}

}  // namespace mendo
