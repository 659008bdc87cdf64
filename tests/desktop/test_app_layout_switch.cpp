#include "app/AppStateRig.h"
#include "desktop/AppLayoutSwitchService.h"
#include "fakes/FakeWorkspace.h"
#include "fakes/RecordingSystemLog.h"

#include <QCoreApplication>
#include <QTest>

using namespace mendo;
using namespace std::chrono_literals;

class TestAppLayoutSwitch : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void activationSwitchesByRule_data();
    void activationSwitchesByRule();
    void holdsTheLayoutForAMoment();
    void nextActivationCancelsReapplications();
    void reappliesOnlyForTheSameProcess();
    void failedSwitchStillGuards();
    void applicationInFrontAtStart();
    void anotherWindowOfTheSameApplication();
};

namespace {

const QString gedit = QStringLiteral("org.gnome.gedit");
const QString kate = QStringLiteral("org.kde.kate");

AppLayoutRule rule(const QString& app, const QString& layout, bool enabled = true)
{
    AppLayoutRule r;
    r.id = QUuid::createUuid();
    r.bundleIdentifier = app;
    r.layoutName = layout;
    r.isEnabled = enabled;
    return r;
}

// The service over fake desktop parts, with the layouts "us", "ru" and "de".
struct Rig {
    AppStateRig app;
    FakeWorkspace workspace;
    RecordingSystemLog log;
    AppLayoutSwitchService service { workspace, app.inputSources, app.layouts, app.clock, log };

    explicit Rig(QList<AppLayoutRule> rules, bool switching = true)
        : app([&](MendoSettings& s) {
            s.appLayoutSwitchingEnabled = switching;
            s.appLayoutRules = rules;
        })
    {
        app.inputSources.add(QStringLiteral("us"), QStringLiteral("English (US)"));
        app.inputSources.add(QStringLiteral("ru"), QStringLiteral("Russian"));
        app.inputSources.add(QStringLiteral("de"), QStringLiteral("German"));
        app.inputSources.currentIndex = 0;
    }
    // Notices are answered on a later turn of the event loop, and answering
    // one may post the next (a switch reports a layout change).
    void settle()
    {
        for (int turn = 0; turn < 3; ++turn)
            QCoreApplication::processEvents();
    }
    void activate(qint32 pid, const QString& id)
    {
        workspace.bringToFront({ pid, id });
        settle();
    }
    void advanceTo(Millis time)
    {
        app.clock.advance(time - app.clock.monotonicNow());
        settle();
    }
    // The user (or the desktop) switches the layout back.
    void userSelects(int index)
    {
        app.inputSources.select(app.inputSources.list.at(index));
        settle();
    }
    QString current() const { return app.inputSources.current()->id; }
    // How often MendoAI (not the user) selected Russian.
    qsizetype russianSelections() const
    {
        return std::count_if(app.inputSources.selected.cbegin(), app.inputSources.selected.cend(),
            [](const InputSource& s) { return s.id == u"ru"; });
    }
};

}  // namespace

void TestAppLayoutSwitch::activationSwitchesByRule_data()
{
    QTest::addColumn<bool>("switching");
    QTest::addColumn<QList<AppLayoutRule>>("rules");
    QTest::addColumn<QString>("expected");  // the current source's id after activating gedit
    QTest::addColumn<bool>("logged");
    QTest::newRow("rule applies") << true << QList { rule(gedit, "Russian") } << "ru" << false;
    QTest::newRow("switching off") << false << QList { rule(gedit, "Russian") } << "us" << false;
    QTest::newRow("first enabled rule wins")
        << true << QList { rule(gedit, "German", false), rule(gedit, "Russian"), rule(gedit, "German") } << "ru"
        << false;
    QTest::newRow("other application's rule") << true << QList { rule(kate, "Russian") } << "us" << false;
    QTest::newRow("unknown layout is logged, nothing else tried")
        << true << QList { rule(gedit, "Klingon"), rule(gedit, "Russian") } << "us" << true;
}

void TestAppLayoutSwitch::activationSwitchesByRule()
{
    QFETCH(bool, switching);
    QFETCH(QList<AppLayoutRule>, rules);
    QFETCH(QString, expected);
    QFETCH(bool, logged);
    Rig rig(rules, switching);

    // Nothing happens before the service is started.
    rig.activate(42, gedit);
    QCOMPARE(rig.current(), QStringLiteral("us"));
    rig.workspace.front.reset();

    rig.service.start(*rig.app.state);
    rig.service.start(*rig.app.state);  // observes once
    rig.activate(42, gedit);
    QCOMPARE(rig.current(), expected);
    QVERIFY(rig.app.inputSources.selected.size() <= 1);
    QCOMPARE(!rig.log.lines.isEmpty(), logged);

    // With the switch off, the user's own layout change is left alone too.
    rig.userSelects(2);
    QCOMPARE(rig.current(), switching && expected == u"ru" ? QStringLiteral("ru") : QStringLiteral("de"));
}

void TestAppLayoutSwitch::holdsTheLayoutForAMoment()
{
    Rig rig({ rule(gedit, "Russian") });
    rig.service.start(*rig.app.state);
    rig.activate(42, gedit);
    QCOMPARE(rig.current(), QStringLiteral("ru"));

    // Inside the guard a switch back is undone...
    rig.advanceTo(1400ms);
    rig.userSelects(0);
    QCOMPARE(rig.current(), QStringLiteral("ru"));
    // ...after it, the user's choice stands.
    rig.advanceTo(1600ms);
    rig.userSelects(0);
    QCOMPARE(rig.current(), QStringLiteral("us"));
}

void TestAppLayoutSwitch::nextActivationCancelsReapplications()
{
    Rig rig({ rule(gedit, "Russian"), rule(kate, "German") });
    rig.service.start(*rig.app.state);
    rig.activate(42, gedit);
    rig.advanceTo(200ms);  // the first re-application has run
    rig.activate(43, kate);
    QCOMPARE(rig.current(), QStringLiteral("de"));
    rig.advanceTo(2000ms);
    QCOMPARE(rig.current(), QStringLiteral("de"));
    QCOMPARE(rig.russianSelections(), 1);

    // An application without a rule ends the guard of the one before.
    rig.activate(44, QStringLiteral("org.example.norule"));
    rig.advanceTo(2100ms);
    rig.userSelects(0);
    QCOMPARE(rig.current(), QStringLiteral("us"));
}

void TestAppLayoutSwitch::reappliesOnlyForTheSameProcess()
{
    Rig rig({ rule(gedit, "Russian") });
    rig.service.start(*rig.app.state);
    rig.activate(42, gedit);
    // Another gedit process comes to the front without a notice reaching the
    // service (as between two polls); the user picks German there.
    rig.workspace.front = RunningApplication { 77, gedit };
    rig.app.inputSources.currentIndex = 2;
    rig.advanceTo(1000ms);
    QCOMPARE(rig.current(), QStringLiteral("de"));
    QCOMPARE(rig.russianSelections(), 1);
}

void TestAppLayoutSwitch::failedSwitchStillGuards()
{
    Rig rig({ rule(gedit, "Klingon") });
    rig.service.start(*rig.app.state);
    rig.activate(42, gedit);
    QCOMPARE(rig.log.lines.size(), 1);
    QVERIFY2(rig.log.lines.first().startsWith("MendoAI app layout rule failed for org.gnome.gedit: "),
        qPrintable(rig.log.lines.first()));
    rig.advanceTo(1000ms);  // three re-applications, each tried and logged
    QCOMPARE(rig.log.lines.size(), 4);
    rig.userSelects(1);  // a change inside the guard is answered, and fails again
    QCOMPARE(rig.log.lines.size(), 5);
}

void TestAppLayoutSwitch::applicationInFrontAtStart()
{
    Rig rig({ rule(gedit, "Russian") });
    rig.workspace.front = RunningApplication { 42, gedit };
    rig.service.start(*rig.app.state);
    rig.settle();
    QCOMPARE(rig.current(), QStringLiteral("ru"));
}

void TestAppLayoutSwitch::anotherWindowOfTheSameApplication()
{
    Rig rig({ rule(gedit, "Russian") });
    rig.service.start(*rig.app.state);
    rig.activate(42, gedit);
    rig.advanceTo(2000ms);
    rig.userSelects(0);  // the user's layout in this application
    const qsizetype before = rig.russianSelections();
    rig.workspace.bringToFront({ 42, gedit, 0x2000001 });
    rig.settle();
    rig.advanceTo(3000ms);
    QCOMPARE(rig.current(), QStringLiteral("us"));
    QCOMPARE(rig.russianSelections(), before);
}

QTEST_GUILESS_MAIN(TestAppLayoutSwitch)
#include "test_app_layout_switch.moc"
