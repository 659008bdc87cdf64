#include "app/AppStateRig.h"
#include "desktop/AppLayoutSwitchService.h"
#include "fakes/FakeWorkspace.h"
#include "fakes/RecordingSystemLog.h"

#include <QTest>

using namespace mendo;

class TestAppLayoutSwitch : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void activationSwitchesByRule_data();
    void activationSwitchesByRule();
};

static AppLayoutRule rule(const QString& app, const QString& layout, bool enabled = true)
{
    AppLayoutRule r;
    r.id = QUuid::createUuid();
    r.bundleIdentifier = app;
    r.layoutName = layout;
    r.isEnabled = enabled;
    return r;
}

void TestAppLayoutSwitch::activationSwitchesByRule_data()
{
    QTest::addColumn<bool>("switching");
    QTest::addColumn<QList<AppLayoutRule>>("rules");
    QTest::addColumn<QString>("expected");  // the current source's id after activating "org.gnome.gedit"
    QTest::addColumn<bool>("logged");
    const QString gedit = QStringLiteral("org.gnome.gedit");
    QTest::newRow("rule applies") << true << QList { rule(gedit, "Russian") } << "ru" << false;
    QTest::newRow("switching off") << false << QList { rule(gedit, "Russian") } << "us" << false;
    QTest::newRow("first enabled rule wins")
        << true << QList { rule(gedit, "German", false), rule(gedit, "Russian"), rule(gedit, "German") } << "ru"
        << false;
    QTest::newRow("other application's rule") << true << QList { rule("org.kde.kate", "Russian") } << "us" << false;
    QTest::newRow("unknown layout is logged, nothing else tried")
        << true << QList { rule(gedit, "Klingon"), rule(gedit, "Russian") } << "us" << true;
}

void TestAppLayoutSwitch::activationSwitchesByRule()
{
    QFETCH(bool, switching);
    QFETCH(QList<AppLayoutRule>, rules);
    QFETCH(QString, expected);
    QFETCH(bool, logged);
    AppStateRig rig([&](MendoSettings& s) {
        s.appLayoutSwitchingEnabled = switching;
        s.appLayoutRules = rules;
    });
    rig.inputSources.add(QStringLiteral("us"), QStringLiteral("English (US)"));
    rig.inputSources.add(QStringLiteral("ru"), QStringLiteral("Russian"));
    rig.inputSources.add(QStringLiteral("de"), QStringLiteral("German"));
    rig.inputSources.currentIndex = 0;
    FakeWorkspace workspace;
    RecordingSystemLog log;
    AppLayoutSwitchService service(workspace, rig.layouts, log);

    // Nothing happens before the service is started.
    workspace.bringToFront({ 42, QStringLiteral("org.gnome.gedit") });
    QCOMPARE(rig.inputSources.current()->id, QStringLiteral("us"));

    service.start(*rig.state);
    service.start(*rig.state);  // observes once
    workspace.bringToFront({ 42, QStringLiteral("org.gnome.gedit") });
    QCOMPARE(rig.inputSources.current()->id, expected);
    QVERIFY(rig.inputSources.selected.size() <= 1);
    QCOMPARE(!log.lines.isEmpty(), logged);
}

QTEST_GUILESS_MAIN(TestAppLayoutSwitch)
#include "test_app_layout_switch.moc"
