// The quick panel of the real mendo: Alt+Q over a field with a selection opens
// it at the pointer while the field keeps the focus, a row replaces the
// selection, the language menu translates and keeps the language, a click
// outside puts it away, and the size the window manager gives it is kept.
// The panel's buttons are found by name through the accessibility bus.

#include "e2e/MendoSession.h"

#include <QTest>

using namespace mendo;
using namespace mendo::e2e;
using mendo::testing::activeWindowPid;
using mendo::testing::clickAt;
using mendo::testing::OtherApp;
using mendo::testing::runTool;

namespace {

constexpr int kTimeoutMs = 20000;

QString xdotool(const QStringList& arguments)
{
    return QString::fromUtf8(runTool(QStringLiteral("xdotool"), arguments)).trimmed();
}

void moveTo(QPoint point)
{
    xdotool({ "mousemove", QString::number(point.x()), QString::number(point.y()) });
}

// The quick panel's window while it is shown; empty otherwise.
QString quickPanelWindow(const MendoSession& session)
{
    const QString ids = xdotool({ "search", "--onlyvisible", "--pid", QString::number(session.mendoPid()) });
    for (const QString& id : ids.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (xdotool({ "getwindowname", id }) == u"Quick Menu")
            return id;
    }
    return {};
}

int visibleWindows(const MendoSession& session)
{
    return int(xdotool({ "search", "--onlyvisible", "--pid", QString::number(session.mendoPid()) })
                   .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                   .size());
}

}  // namespace

class TestE2eQuickPanel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void altQOpensAtThePointerAndARowReplacesTheSelection();
    void theLanguageMenuTranslatesAndIsKept();
    void aClickOutsideHidesAndTheGivenSizeIsKept();
};

void TestE2eQuickPanel::altQOpensAtThePointerAndARowReplacesTheSelection()
{
    const QString answer = QStringLiteral("Could you please send the report?");
    MendoSession session({ .answers = { resultAnswer(answer) }, .serviceDown = false, .defaults = {} });
    QVERIFY2(session.start(), qPrintable(session.failure()));
    auto target = session.startInFront(QStringLiteral(MENDO_TARGET_APP),
        { QStringLiteral("--text"), QStringLiteral("hey can u send teh report"), QStringLiteral("--geometry"),
            QStringLiteral("500x120+100+100") });
    QVERIFY(target);
    MendoSession::press(QStringLiteral("ctrl+a"));
    moveTo(QPoint(900, 300));
    MendoSession::press(QStringLiteral("alt+q"));

    QTRY_VERIFY_WITH_TIMEOUT(!quickPanelWindow(session).isEmpty(), kTimeoutMs);
    // Left edge 14 right of the pointer, top edge 18 above it.
    QTRY_COMPARE_WITH_TIMEOUT(
        windowGeometry(quickPanelWindow(session).toULongLong()).topLeft(), QPoint(914, 282), 5000);
    QCOMPARE(activeWindowPid(), target->pid());
    // The field still takes the typing.
    MendoSession::press(QStringLiteral("End"));
    MendoSession::press(QStringLiteral("exclam"));
    QTRY_COMPARE_WITH_TIMEOUT(target->reportedText(), QStringLiteral("hey can u send teh report!"), kTimeoutMs);
    QVERIFY(!quickPanelWindow(session).isEmpty());
    MendoSession::press(QStringLiteral("ctrl+a"));

    QRect row;
    QTRY_VERIFY_WITH_TIMEOUT(
        !(row = accessibleRect(session.mendoPid(), QStringLiteral("Professional"), ATSPI_ROLE_PUSH_BUTTON)).isEmpty(),
        kTimeoutMs);
    clickAt(row.center());
    QTRY_VERIFY_WITH_TIMEOUT(quickPanelWindow(session).isEmpty(), kTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(target->reportedText(), answer, kTimeoutMs);
    const QList<QJsonObject> requests = session.requests();
    QCOMPARE(requests.size(), 1);
    const QJsonObject body = requests.first().value(QStringLiteral("body")).toObject();
    QCOMPARE(body.value(QStringLiteral("styleId")).toString(), QStringLiteral("Professional"));
    QCOMPARE(body.value(QStringLiteral("text")).toString(), QStringLiteral("hey can u send teh report!"));
}

void TestE2eQuickPanel::theLanguageMenuTranslatesAndIsKept()
{
    MendoSession session({ .answers = { resultAnswer(QStringLiteral("Guten Morgen")) },
        .serviceDown = false,
        .defaults = {} });
    QVERIFY2(session.start(), qPrintable(session.failure()));
    auto target = session.startInFront(QStringLiteral(MENDO_TARGET_APP),
        { QStringLiteral("--text"), QStringLiteral("good morning"), QStringLiteral("--geometry"),
            QStringLiteral("500x120+100+100") });
    QVERIFY(target);
    MendoSession::press(QStringLiteral("ctrl+a"));
    moveTo(QPoint(700, 300));
    MendoSession::press(QStringLiteral("alt+q"));
    QTRY_VERIFY_WITH_TIMEOUT(!quickPanelWindow(session).isEmpty(), kTimeoutMs);

    QRect button;
    QTRY_VERIFY_WITH_TIMEOUT(
        !(button = accessibleRect(session.mendoPid(), QStringLiteral("English"), ATSPI_ROLE_PUSH_BUTTON)).isEmpty(),
        kTimeoutMs);
    const int windowsBefore = visibleWindows(session);
    clickAt(button.center());
    // The list opens on the current language and takes the keys: four rows
    // down is German.
    QTRY_VERIFY_WITH_TIMEOUT(visibleWindows(session) > windowsBefore, kTimeoutMs);
    QTest::qWait(300);
    xdotool({ "key", "Down", "Down", "Down", "Down", "Return" });

    QTRY_COMPARE_WITH_TIMEOUT(target->reportedText(), QStringLiteral("Guten Morgen"), kTimeoutMs);
    QVERIFY(quickPanelWindow(session).isEmpty());
    QCOMPARE(session.requests().size(), 1);
    const QJsonObject body = session.requests().first().value(QStringLiteral("body")).toObject();
    QCOMPARE(body.value(QStringLiteral("targetLanguage")).toString(), QStringLiteral("German"));
    QCOMPARE(body.value(QStringLiteral("text")).toString(), QStringLiteral("good morning"));
    QCOMPARE(session.storedDefaults().value(QStringLiteral("mendo.targetLanguage")).toString(),
        QStringLiteral("German"));
}

void TestE2eQuickPanel::aClickOutsideHidesAndTheGivenSizeIsKept()
{
    MendoSession session({});
    QVERIFY2(session.start(), qPrintable(session.failure()));
    auto target = session.startInFront(QStringLiteral(MENDO_TARGET_APP),
        { QStringLiteral("--text"), QStringLiteral("some text"), QStringLiteral("--geometry"),
            QStringLiteral("500x120+100+100") });
    QVERIFY(target);
    moveTo(QPoint(900, 500));
    MendoSession::press(QStringLiteral("alt+q"));
    QTRY_VERIFY_WITH_TIMEOUT(!quickPanelWindow(session).isEmpty(), kTimeoutMs);
    // Into the field: another application.
    clickAt(QPoint(300, 160));
    QTRY_VERIFY_WITH_TIMEOUT(quickPanelWindow(session).isEmpty(), kTimeoutMs);

    MendoSession::press(QStringLiteral("alt+q"));
    QTRY_VERIFY_WITH_TIMEOUT(!quickPanelWindow(session).isEmpty(), kTimeoutMs);
    xdotool({ "windowsize", quickPanelWindow(session), "420", "500" });
    QTRY_COMPARE_WITH_TIMEOUT(
        session.storedDefaults().value(QStringLiteral("mendo.quickPanel.width")).toDouble(), 420.0, kTimeoutMs);
    QCOMPARE(session.storedDefaults().value(QStringLiteral("mendo.quickPanel.height")).toDouble(), 500.0);

    QVERIFY2(session.restartMendo(), qPrintable(session.failure()));
    QVERIFY(session.bringToFront(*target));
    MendoSession::press(QStringLiteral("alt+q"));
    QTRY_VERIFY_WITH_TIMEOUT(!quickPanelWindow(session).isEmpty(), kTimeoutMs);
    QCOMPARE(windowGeometry(quickPanelWindow(session).toULongLong()).size(), QSize(420, 500));
}

QTEST_GUILESS_MAIN(TestE2eQuickPanel)
#include "test_e2e_quick_panel.moc"
