#pragma once

// Other applications for the display tests: the Qt target app, zenity, xterm,
// the clipboard owner, and a wait for one of them to be in front.

#include "platform/Workspace.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPoint>
#include <QProcess>
#include <QTest>

#include <memory>

#ifdef MENDO_ARTIFACT_DIR
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QRect>
#include <QScreen>
#endif

namespace mendo::testing {

#ifdef MENDO_ARTIFACT_DIR
// Where the display tests leave their screenshots, made on first use.
inline QString artifactPath(const QString& name)
{
    const QString dir = QStringLiteral(MENDO_ARTIFACT_DIR);
    QDir().mkpath(dir);
    return dir + QLatin1Char('/') + name;
}

// The screen's `area`, saved as the screenshot `name`; null when it could not be.
inline QImage saveScreenArea(const QRect& area, const QString& name)
{
    const QImage shot
        = QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
    if (!shot.save(artifactPath(name)))
        return {};
    return shot;
}
#endif

// A running helper program; ended (and waited for) when destroyed.
class OtherApp {
public:
    explicit OtherApp(const QString& program, const QStringList& arguments)
    {
        m_process.setProgram(program);
        m_process.setArguments(arguments);
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] {
            m_output += m_process.readAllStandardOutput();
        });
        m_process.start();
    }
    ~OtherApp()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(3000)) {
                m_process.kill();
                m_process.waitForFinished(3000);
            }
        }
    }
    OtherApp(const OtherApp&) = delete;
    OtherApp& operator=(const OtherApp&) = delete;

    qint32 pid() const { return qint32(m_process.processId()); }
    QProcess& process() { return m_process; }
    // Everything it printed so far (the event loop has to run for it to grow).
    QByteArray output() const { return m_output; }
    QList<QByteArray> outputLines() const { return m_output.split('\n'); }

    // The Qt target app's latest text, from its last {"text": ...} line.
    QString reportedText() const
    {
        const QList<QByteArray> lines = outputLines();
        for (auto it = lines.crbegin(); it != lines.crend(); ++it) {
            const QJsonObject object = QJsonDocument::fromJson(*it).object();
            if (object.contains(QStringLiteral("text")))
                return object.value(QStringLiteral("text")).toString();
        }
        return {};
    }

private:
    QProcess m_process;
    QByteArray m_output;
};

inline std::unique_ptr<OtherApp> startTargetApp(const QString& text, const QStringList& extra = {})
{
    return std::make_unique<OtherApp>(QStringLiteral(MENDO_TARGET_APP),
                                      QStringList{QStringLiteral("--text"), text} + extra);
}

// Another application owning the clipboard with these formats (type and
// bytes, in order), as after a user's copy; the files go to `dir`. Null when
// it could not be started.
inline std::unique_ptr<OtherApp> offerClipboard(const QString& dir, const QList<QPair<QString, QByteArray>>& formats)
{
    QStringList arguments;
    for (int i = 0; i < formats.size(); ++i) {
        QFile file(dir + QStringLiteral("/format%1").arg(i));
        if (!file.open(QIODevice::WriteOnly) || file.write(formats[i].second) != formats[i].second.size())
            return nullptr;
        arguments << formats[i].first + QLatin1Char('=') + file.fileName();
    }
    auto owner = std::make_unique<OtherApp>(QStringLiteral(MENDO_CLIPBOARD_OWNER), arguments);
    QDeadlineTimer deadline(10000);
    while (!owner->output().contains("owning") && !deadline.hasExpired())
        QTest::qWait(10);
    return deadline.hasExpired() ? nullptr : std::move(owner);
}

// Waits until a window of `pid` is the active one.
inline bool waitUntilFrontmost(const Workspace& workspace, qint32 pid, int timeoutMs = 10000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        const auto front = workspace.frontmostApplication();
        if (front && front->processIdentifier == pid)
            return true;
        QTest::qWait(20);
    }
    return false;
}

// Runs a command-line tool to its end and gives its stdout. The event loop
// keeps running meanwhile: the tool may be asking this process for the
// clipboard it owns.
inline QByteArray runTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.closeWriteChannel();
    QDeadlineTimer deadline(10000);
    while (process.state() != QProcess::NotRunning && !deadline.hasExpired())
        QTest::qWait(10);
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(1000);
    }
    return process.readAllStandardOutput();
}

// Runs xdotool with these arguments (moves, clicks, keys) to its end.
inline void xdotool(const QStringList& arguments)
{
    runTool(QStringLiteral("xdotool"), arguments);
}

inline void clickAt(QPoint point)
{
    xdotool({ "mousemove", QString::number(point.x()), QString::number(point.y()), "click", "1" });
}

// The active window's id in decimal, as xdotool prints it.
inline QString activeWindow()
{
    return QString::fromUtf8(runTool(QStringLiteral("xdotool"), { QStringLiteral("getactivewindow") })).trimmed();
}

// The active window's title.
inline QString activeWindowName()
{
    return QString::fromUtf8(
        runTool(QStringLiteral("xdotool"), { QStringLiteral("getactivewindow"), QStringLiteral("getwindowname") }))
        .trimmed();
}

// The process owning the active window: tells an app's own window from one
// an earlier test left active.
inline qint32 activeWindowPid()
{
    return QString::fromUtf8(runTool(QStringLiteral("xdotool"), { "getactivewindow", "getwindowpid" })).trimmed().toInt();
}

// A window's frame as xdotool prints it with `getwindowgeometry --shell`
// among `arguments`.
inline QRect xdotoolGeometry(const QStringList& arguments)
{
    QRect rect;
    const QString shell = QString::fromUtf8(runTool(QStringLiteral("xdotool"), arguments));
    for (const QString& line : shell.split(QLatin1Char('\n'))) {
        const int value = line.section(QLatin1Char('='), 1).toInt();
        if (line.startsWith(QLatin1String("X=")))
            rect.moveLeft(value);
        else if (line.startsWith(QLatin1String("Y=")))
            rect.moveTop(value);
        else if (line.startsWith(QLatin1String("WIDTH=")))
            rect.setWidth(value);
        else if (line.startsWith(QLatin1String("HEIGHT=")))
            rect.setHeight(value);
    }
    return rect;
}

}  // namespace mendo::testing
