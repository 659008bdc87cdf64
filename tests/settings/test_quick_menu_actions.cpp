#include "app/AppStateRig.h"

#include "settings/QuickMenuActions.h"

#include <QSignalSpy>
#include <QtTest>

using namespace mendo;

namespace {

// The built-in styles that have an action of their own, in style-list order.
const QString kStyles = QStringLiteral(
    "original friendly emoji polite professional short detailed humor flirt romantic sexy formal casual support "
    "expert social");

// Short forms: a word that names a built-in style stands for its "style:" id,
// and "…" for every id of `rest` not written so far, in the order of `rest`.
QStringList ids(const QString& written, const QStringList& rest = {})
{
    const QStringList styles = kStyles.split(u' ');
    QStringList result;
    for (const QString& word : written.split(u' ', Qt::SkipEmptyParts)) {
        if (word == QStringLiteral("…")) {
            for (const QString& id : rest) {
                if (!result.contains(id))
                    result.append(id);
            }
        } else {
            result.append(styles.contains(word) ? QStringLiteral("style:") + word : word);
        }
    }
    return result;
}

QStringList defaultAvailable()
{
    return ids(QStringLiteral("ai translate ") + kStyles + QStringLiteral(" style:custom-1 clipboard layout"));
}

}  // namespace

class TestQuickMenuActions : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cases_data();
    void cases();
};

void TestQuickMenuActions::cases_data()
{
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("actionsAfter");
    QTest::addColumn<QString>("orderAfter");
    QTest::addColumn<int>("saves");

    const QStringList some { "ai", "translate", "style:custom-1" };
    // Rows of the page, before the operation; "=" after it: unchanged.
    QTest::newRow("empty order: the available list")
        << QStringList {} << some << QString() << "ai translate " + kStyles + " style:custom-1 clipboard layout"
        << "=" << "=" << 0;
    QTest::newRow("older stored forms")
        << QStringList { " layout ", "fix", "friendly", "original", "style:friendly\n" } << some << QString()
        << "layout original friendly ai translate …" << "=" << "=" << 0;
    QTest::newRow("unknown and repeated ids")
        << QStringList { "style:gone", "clipboard", "bogus", "clipboard", "ai", "" } << some << QString()
        << "clipboard ai translate …" << "=" << "=" << 0;
    QTest::newRow("the translate style has no row of its own")
        << QStringList { "style:translate", "translate", "translate " } << some << QString() << "translate ai …"
        << "=" << "=" << 0;
    QTest::newRow("switching on appends, then sorts into page order")
        << QStringList { "layout", "style:custom-1" } << QStringList { "translate", "style:gone", "layout", "ai" }
        << "on clipboard" << "layout style:custom-1 ai translate …"
        << "layout ai translate clipboard style:gone" << "=" << 1;
    QTest::newRow("switching on an action already on only sorts")
        << QStringList {} << QStringList { "layout", "fix", "ai" } << "on original" << "ai translate …"
        << "ai original layout" << "=" << 1;
    QTest::newRow("switching off removes every copy, the unavailable one stays last")
        << QStringList {} << QStringList { "style:gone", "ai", " ai", "translate", "ai" } << "off ai"
        << "ai translate …" << "translate style:gone" << "=" << 1;
    QTest::newRow("a move rewrites both lists")
        << QStringList { "layout", "fix" } << QStringList { "style:gone", "original", "ai", "layout", "fix" }
        << "move 1 -1" << "layout original ai translate …" << "original layout ai"
        << "original layout ai translate …" << 2;
    QTest::newRow("a move down from the first row")
        << QStringList {} << QStringList { "translate", "ai" } << "move 0 1" << "ai translate …" << "translate ai"
        << "translate ai …" << 2;
    QTest::newRow("a move past the top stores nothing")
        << QStringList {} << some << "move 0 -1" << "ai translate …" << "=" << "=" << 0;
    QTest::newRow("a move past the bottom stores nothing")
        << QStringList {} << some << "move 20 1" << "ai translate …" << "=" << "=" << 0;
    QTest::newRow("a move from outside the rows stores nothing")
        << QStringList {} << some << "move 21 -1" << "ai translate …" << "=" << "=" << 0;
}

void TestQuickMenuActions::cases()
{
    QFETCH(QStringList, order);
    QFETCH(QStringList, actions);
    QFETCH(QString, operation);
    QFETCH(QString, rows);
    QFETCH(QString, actionsAfter);
    QFETCH(QString, orderAfter);
    QFETCH(int, saves);

    AppStateRig rig([](MendoSettings& s) {
        s.promptStyles.append({ "custom-1", "Mine", "Say it my way.", "Not assigned", true });
    });
    // Staged in memory: the store would load these lists normalised.
    rig.state->editSettings([&](MendoSettings& s) {
        s.quickMenuOrder = order;
        s.quickMenuActions = actions;
    });
    QuickMenuActions model(*rig.state);
    const QStringList available = defaultAvailable();
    QCOMPARE(model.availableActionIds(), available);
    const QStringList shown = ids(rows, available);
    QCOMPARE(model.orderedActionIds(), shown);
    QCOMPARE(model.orderedActions().size(), available.size());
    QCOMPARE(model.orderedActions().first().id, shown.first());
    // Only the first row cannot move up, only the last one down.
    const int count = int(shown.size());
    QVERIFY(!QuickMenuActions::canMoveUp(0) && QuickMenuActions::canMoveDown(0, count));
    QVERIFY(QuickMenuActions::canMoveUp(count - 1) && !QuickMenuActions::canMoveDown(count - 1, count));
    QVERIFY(QuickMenuActions::canMoveUp(1) && QuickMenuActions::canMoveDown(count - 2, count));

    QSignalSpy published(rig.state.get(), &MendoAppState::settingsChanged);
    const int writesBefore = rig.defaults.writes;
    const QStringList words = operation.split(u' ', Qt::SkipEmptyParts);
    if (words.value(0) == QStringLiteral("on") || words.value(0) == QStringLiteral("off"))
        model.setAction(ids(words[1]).first(), words[0] == QStringLiteral("on"));
    else if (words.value(0) == QStringLiteral("move"))
        model.moveAction(words[1].toInt(), words[2].toInt());

    QCOMPARE(published.size(), saves);
    if (saves == 0)
        QCOMPARE(rig.defaults.writes, writesBefore);
    const MendoSettings now = rig.state->settings();
    QCOMPARE(now.quickMenuActions, actionsAfter == QStringLiteral("=") ? actions : ids(actionsAfter));
    QCOMPARE(now.quickMenuOrder, orderAfter == QStringLiteral("=") ? order : ids(orderAfter, available));
    // What was stored is what the store gives back.
    if (saves > 0)
        QCOMPARE(rig.store.load().quickMenuActions, now.quickMenuActions);
    // The published quick actions follow the stored ones.
    QStringList published_ids;
    for (const QuickAction& action : rig.state->quickActions())
        published_ids << action.id;
    QStringList expected_ids;
    for (const QString& id : now.quickMenuActions)
        expected_ids << QuickAction::normalize(id);
    QCOMPARE(published_ids, expected_ids);
}

QTEST_GUILESS_MAIN(TestQuickMenuActions)
#include "test_quick_menu_actions.moc"
