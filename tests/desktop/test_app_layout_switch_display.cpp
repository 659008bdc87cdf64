// Per-application layouts over the real workspace and XKB groups: a rule for
// an application known through its desktop entry selects "Russian" when the
// window manager activates it, and holds it through the guard.

#include "app/AppStateRig.h"
#include "desktop/AppLayoutSwitchService.h"
#include "fakes/RecordingSystemLog.h"
#include "platform/x11/ApplicationIdResolver.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Workspace.h"
#include "platform/x11/XkbInputSources.h"
#include "support/X11TestApps.h"

#include <QTemporaryDir>
#include <QTest>

using namespace mendo;
using namespace mendo::testing;
using namespace std::chrono_literals;

class TestAppLayoutSwitchDisplay : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void followsTheApplicationInFront();

private:
    QString m_savedLayout;
};

namespace {

QString savedLayout()
{
    const QString query = QString::fromUtf8(runTool(QStringLiteral("setxkbmap"), { QStringLiteral("-query") }));
    for (const QString& line : query.split(u'\n'))
        if (line.startsWith(QLatin1String("layout:")))
            return line.mid(7).trimmed();
    return QStringLiteral("us");
}

}  // namespace

void TestAppLayoutSwitchDisplay::initTestCase()
{
    m_savedLayout = savedLayout();
    QCOMPARE(QProcess::execute(QStringLiteral("setxkbmap"), { "-layout", "us,ru", "-variant", "," }), 0);
}

void TestAppLayoutSwitchDisplay::cleanupTestCase()
{
    QProcess::execute(QStringLiteral("setxkbmap"), { "-layout", m_savedLayout, "-variant", "" });
}

void TestAppLayoutSwitchDisplay::followsTheApplicationInFront()
{
    // The writer is known by its desktop entry; the other only by its class.
    QTemporaryDir data;
    QVERIFY(QDir().mkpath(data.filePath("applications")));
    QFile entry(data.filePath("applications/org.example.Writer.desktop"));
    QVERIFY(entry.open(QIODevice::WriteOnly));
    entry.write("[Desktop Entry]\nType=Application\nName=Writer\nExec=writer\nStartupWMClass=MendoTargetWriter\n");
    entry.close();
    qputenv("XDG_DATA_DIRS", data.path().toUtf8());
    ApplicationIdResolver resolver;

    x11::X11Connection connection;
    X11Workspace workspace(connection, resolver);
    XkbInputSources sources(connection);
    KeyboardLayoutService layouts(sources);
    RecordingSystemLog log;
    AppStateRig app([](MendoSettings& s) {
        AppLayoutRule rule;
        rule.id = QUuid::createUuid();
        rule.bundleIdentifier = QStringLiteral("org.example.Writer");
        rule.layoutName = QStringLiteral("Russian");
        rule.isEnabled = true;
        s.appLayoutSwitchingEnabled = true;
        s.appLayoutRules = { rule };
    });
    AppLayoutSwitchService service(workspace, sources, layouts, app.clock, log);

    const auto group = [&] { return sources.current() ? sources.current()->index : -1; };
    const auto lockGroup = [&](int index) { QCOMPARE(sources.select(sources.sources().at(index)), 0); };
    QCOMPARE(sources.sources().size(), 2);
    lockGroup(0);

    auto writer
        = startTargetApp(QStringLiteral("writer"), { QStringLiteral("--class"), QStringLiteral("MendoTargetWriter") });
    QVERIFY(waitUntilFrontmost(workspace, writer->pid()));
    const WindowId writerWindow = workspace.frontmostApplication()->window;
    auto other
        = startTargetApp(QStringLiteral("other"), { QStringLiteral("--class"), QStringLiteral("MendoTargetOther") });
    QVERIFY(waitUntilFrontmost(workspace, other->pid()));
    const WindowId otherWindow = workspace.frontmostApplication()->window;
    service.start(*app.state);
    QTest::qWait(100);
    QCOMPARE(group(), 0);

    const auto activate = [&](WindowId window, qint32 pid) {
        runTool(QStringLiteral("xdotool"), { QStringLiteral("windowactivate"), QString::number(window) });
        QVERIFY(waitUntilFrontmost(workspace, pid));
    };

    // The rule selects Russian, and a switch back inside the guard is undone.
    activate(writerWindow, writer->pid());
    QTRY_COMPARE(group(), 1);
    lockGroup(0);
    QTRY_COMPARE(group(), 1);
    // After the guard the user's choice stands.
    app.clock.advance(1600ms);
    lockGroup(0);
    QTest::qWait(300);
    QCOMPARE(group(), 0);

    // Another application within 0.8 s cancels the pending re-applications.
    activate(otherWindow, other->pid());
    activate(writerWindow, writer->pid());
    QTRY_COMPARE(group(), 1);
    app.clock.advance(100ms);
    activate(otherWindow, other->pid());
    QTest::qWait(100);
    lockGroup(0);
    app.clock.advance(1000ms);
    QTest::qWait(300);
    QCOMPARE(group(), 0);
    QVERIFY2(log.lines.isEmpty(), qPrintable(log.lines.join(u'\n')));
}

QTEST_MAIN(TestAppLayoutSwitchDisplay)
#include "test_app_layout_switch_display.moc"
