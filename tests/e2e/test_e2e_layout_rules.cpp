// Per-application layouts made in the real mendo's settings window: an
// application installed in the user's applications folder is added through
// the Layout page's chooser while Russian is the layout in use; from then on
// mendo selects Russian whenever that application comes to the front, and no
// longer once the rule's trash button removed it. The window's controls are
// found by name through the accessibility bus and clicked as a user would.

#include "e2e/MendoSession.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/XkbInputSources.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <atspi/atspi.h>

using namespace mendo;
using namespace mendo::e2e;
using mendo::testing::clickAt;
using mendo::testing::OtherApp;

namespace {

constexpr int kTimeoutMs = 20000;

// The element's centre once it shows; a null point when it never does.
QPoint waitForElement(const MendoSession& session, const QString& name, AtspiRole role)
{
    QDeadlineTimer deadline(kTimeoutMs);
    while (!deadline.hasExpired()) {
        const QRect rect = accessibleRect(session.mendoPid(), name, role);
        if (!rect.isEmpty())
            return rect.center();
        QTest::qWait(100);
    }
    return {};
}

}  // namespace

class TestE2eLayoutRules : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void chosenApplicationGetsItsLayoutUntilTheRuleGoes();
};

void TestE2eLayoutRules::chosenApplicationGetsItsLayoutUntilTheRuleGoes()
{
    MendoSession session({ .answers = {}, .serviceDown = false, .defaults = {} });
    const QString applications = session.dataHome() + QStringLiteral("/applications/e2e");
    QVERIFY(QDir().mkpath(applications));
    QFile entry(applications + QStringLiteral("/layout-target.desktop"));
    QVERIFY(entry.open(QIODevice::WriteOnly));
    entry.write("[Desktop Entry]\nType=Application\nName=Layout Target\nExec=target\n"
                "StartupWMClass=MendoLayoutTarget\n");
    entry.close();
    QVERIFY2(session.start(), qPrintable(session.failure()));

    x11::X11Connection connection;
    XkbInputSources sources(connection);
    QCOMPARE(sources.sources().size(), 2);
    const auto group = [&] { return sources.current() ? sources.current()->index : -1; };
    const auto lockGroup = [&](int index) { QCOMPARE(sources.select(sources.sources().at(index)), 0); };

    // No tray host in the session: the settings window is open.
    const QPoint layoutRow = waitForElement(session, QStringLiteral("Layout"), ATSPI_ROLE_PUSH_BUTTON);
    QVERIFY2(!layoutRow.isNull(), qPrintable(session.visibleWindowTitles().join(u',')));
    clickAt(layoutRow);
    const QPoint add = waitForElement(session, QStringLiteral("Add application"), ATSPI_ROLE_PUSH_BUTTON);
    QVERIFY(!add.isNull());
    clickAt(add);
    QTRY_VERIFY_WITH_TIMEOUT(session.visibleWindowTitles().contains(QStringLiteral("Choose an application")), kTimeoutMs);
    testing::runTool(QStringLiteral("xdotool"), { QStringLiteral("type"), QStringLiteral("--delay"),
        QStringLiteral("60"), QStringLiteral("layout targ") });
    // The layout in use when the choice is confirmed is the rule's.
    lockGroup(1);
    MendoSession::press(QStringLiteral("Return"));
    QTRY_VERIFY_WITH_TIMEOUT(!session.visibleWindowTitles().contains(QStringLiteral("Choose an application")), kTimeoutMs);
    const QPoint remove = waitForElement(session, QStringLiteral("Remove rule"), ATSPI_ROLE_PUSH_BUTTON);
    QVERIFY2(!remove.isNull(), session.mendoOutput().constData());

    lockGroup(0);
    auto target = session.startInFront(QStringLiteral(MENDO_TARGET_APP),
        { QStringLiteral("--class"), QStringLiteral("MendoLayoutTarget"), QStringLiteral("--geometry"),
            QStringLiteral("260x80+20+20") });
    QVERIFY(target);
    QTRY_COMPARE_WITH_TIMEOUT(group(), 1, 5000);

    // Past the rule's guard the user's own choice stands again.
    QTest::qWait(1700);
    lockGroup(0);
    clickAt(waitForElement(session, QStringLiteral("Remove rule"), ATSPI_ROLE_PUSH_BUTTON));
    QTRY_VERIFY_WITH_TIMEOUT(
        accessibleRect(session.mendoPid(), QStringLiteral("Remove rule"), ATSPI_ROLE_PUSH_BUTTON).isEmpty(), kTimeoutMs);
    QVERIFY(session.bringToFront(*target));
    QTest::qWait(1200);
    QCOMPARE(group(), 0);
}

QTEST_MAIN(TestE2eLayoutRules)
#include "test_e2e_layout_rules.moc"
