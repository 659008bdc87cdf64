#include "model/QuickAction.h"
#include "model/StatusResetSchedule.h"
#include "fakes/FakeClock.h"

#include <QTest>

using namespace mendo;
using namespace std::chrono_literals;

class TestQuickActions : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void normalize_data();
    void normalize();
    void derivedValues_data();
    void derivedValues();
    void defaultList();
    void statusReset();
};

void TestQuickActions::normalize_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("expected");
    QTest::newRow("fix with blanks") << " fix\n"
                                     << "style:original";
    QTest::newRow("original") << "original"
                              << "style:original";
    QTest::newRow("bare built-in") << "friendly"
                                   << "style:friendly";
    QTest::newRow("fixed id") << "\tclipboard "
                              << "clipboard";
    QTest::newRow("style kept") << " style:whatever "
                                << "style:whatever";
    QTest::newRow("other case") << " Friendly "
                                << "Friendly";
    QTest::newRow("fixed id other case") << "AI"
                                         << "AI";
    QTest::newRow("unknown") << "custom-1"
                             << "custom-1";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("no-break space") << QString::fromUtf8("\u00a0layout") << "layout";
}

void TestQuickActions::normalize()
{
    QFETCH(QString, id);
    QFETCH(QString, expected);
    QCOMPARE(QuickAction::normalize(id), expected);
}

void TestQuickActions::derivedValues_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QVariant>("styleId");  // invalid: none
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("symbol");
    QTest::newRow("ai") << "ai" << QVariant() << QString::fromUtf8("AI помощник") << "bubble.left.and.bubble.right";
    QTest::newRow("translate") << "translate" << QVariant("translate") << QString::fromUtf8("Перевод") << "translate";
    QTest::newRow("style:translate") << "style:translate" << QVariant("translate") << QString::fromUtf8("Перевод")
                                     << "translate";
    QTest::newRow("original") << "style:original" << QVariant("original") << QString::fromUtf8("Исправить")
                              << "wand.and.sparkles";
    QTest::newRow("polite") << "style:polite" << QVariant("polite") << "Polite"
                            << "sparkles";
    QTest::newRow("casual") << "style:casual" << QVariant("casual") << QString::fromUtf8("Неформально")
                            << "bubble.left.and.bubble.right";
    QTest::newRow("user style") << "style:custom-0a0b0c0d" << QVariant("custom-0a0b0c0d")
                                << QString::fromUtf8("Действие") << "sparkles";
    QTest::newRow("empty style") << "style:" << QVariant("") << QString::fromUtf8("Действие") << "sparkles";
    QTest::newRow("layout") << "layout" << QVariant() << QString::fromUtf8("Раскладка") << "keyboard";
    QTest::newRow("unknown") << "fix" << QVariant() << QString::fromUtf8("Действие") << "sparkles";
}

void TestQuickActions::derivedValues()
{
    QFETCH(QString, id);
    QFETCH(QVariant, styleId);
    QFETCH(QString, title);
    QFETCH(QString, symbol);
    const QuickAction action { id };
    const auto style = action.styleId();
    QCOMPARE(style.has_value(), styleId.isValid());
    if (style)
        QCOMPARE(*style, styleId.toString());
    QCOMPARE(action.title(), title);
    QCOMPARE(action.symbolName(), symbol);
}

void TestQuickActions::defaultList()
{
    const QStringList& ids = QuickAction::defaultActionIds();
    QCOMPARE(ids.size(), 20);
    QCOMPARE(ids.first(), QStringLiteral("ai"));
    QCOMPARE(ids.at(4), QStringLiteral("style:emoji"));
    QCOMPARE(ids.at(5), QStringLiteral("style:polite"));
    QCOMPARE(ids.last(), QStringLiteral("layout"));
    QCOMPARE(QuickAction::defaultActions().at(17), QuickAction { "style:social" });
}

// The holder of the status as the application state will be: every
// assignment goes through the schedule.
struct StatusHolder {
    explicit StatusHolder(Clock& clock)
        : schedule(
            clock, [this] { return status; }, [this] { set(ActionStatus::idle()); })
    {
    }
    void set(const ActionStatus& s)
    {
        status = s;
        history << s;
        schedule.statusChanged(s);
    }
    ActionStatus status;
    QList<ActionStatus> history;
    StatusResetSchedule schedule;
};

void TestQuickActions::statusReset()
{
    FakeClock clock;
    StatusHolder holder(clock);

    // A second done restarts the full delay.
    holder.set(ActionStatus::done("Done"));
    clock.advance(500ms);
    holder.set(ActionStatus::done("Done"));
    clock.advance(899ms);
    QCOMPARE(holder.status, ActionStatus::done("Done"));
    clock.advance(1ms);
    QVERIFY(holder.status.isIdle());
    QVERIFY(!holder.schedule.isPending());

    // A running status after a failure is never reset.
    holder.set(ActionStatus::failed("Boom"));
    clock.advance(1000ms);
    holder.set(ActionStatus::running("Working"));
    clock.advance(10s);
    QCOMPARE(holder.status, ActionStatus::running("Working"));

    holder.set(ActionStatus::failed("Boom"));
    clock.advance(1299ms);
    QCOMPARE(holder.status, ActionStatus::failed("Boom"));
    clock.advance(1ms);
    QVERIFY(holder.status.isIdle());

    QVERIFY(ActionStatus::done("a") != ActionStatus::failed("a"));
    QVERIFY(ActionStatus::done("a") != ActionStatus::done("b"));
}

QTEST_GUILESS_MAIN(TestQuickActions)
#include "test_quick_actions.moc"
