#include "app/AppStateRig.h"
#include "fakes/FakePanelDesktop.h"
#include "tray/StatusHUD.h"
#include "tray/StatusHUDController.h"
#include "ui/FloatingPanel.h"
#include "ui/MendoTheme.h"

#include <QTest>

using namespace mendo;
using namespace std::chrono_literals;

Q_DECLARE_METATYPE(mendo::ActionStatus)

class TestStatusHUD : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void looks_data()
    {
        QTest::addColumn<ActionStatus>("status");
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<QString>("colour");
        QTest::addColumn<QString>("text");
        QTest::newRow("running") << ActionStatus::running(QStringLiteral("Fixing")) << "progress.indicator"
                                 << "#0a84ff"
                                 << "Fixing";
        QTest::newRow("done") << ActionStatus::done(QStringLiteral("Done")) << "checkmark.circle.fill"
                              << "#30d158"
                              << "Done";
        QTest::newRow("failed") << ActionStatus::failed(QStringLiteral("No selected text."))
                                << "exclamationmark.triangle.fill"
                                << "#ff9f0a"
                                << "No selected text.";
        QTest::newRow("idle") << ActionStatus::idle() << "checkmark.circle"
                              << ""
                              << "Ready";
    }
    void looks()
    {
        QFETCH(ActionStatus, status);
        QFETCH(QString, symbol);
        QFETCH(QString, colour);
        QFETCH(QString, text);
        // Drawn dark: the liquid modes force the dark scheme.
        StatusHUD view(status, AppearanceMode::liquidNoir, SurfaceMode::translucent);
        QCOMPARE(view.look().symbol, symbol);
        QCOMPARE(view.look().text, text);
        if (colour.isEmpty())  // the secondary text colour
            QVERIFY(view.look().color.alphaF() < 1.0);
        else
            QCOMPARE(view.look().color.name(), colour);
    }

    // The symbol colours follow the scheme the display is drawn in.
    void coloursFollowTheScheme()
    {
        QPalette light;
        light.setColor(QPalette::Window, Qt::white);
        light.setColor(QPalette::WindowText, Qt::black);
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(0x20, 0x20, 0x20));
        dark.setColor(QPalette::WindowText, Qt::white);
        const ActionStatus failed = ActionStatus::failed(QStringLiteral("x"));
        QCOMPARE(StatusLook::of(failed, light).color, theme::orange(ColorScheme::light));
        QCOMPARE(StatusLook::of(failed, dark).color, theme::orange(ColorScheme::dark));
        QCOMPARE(StatusLook::of(ActionStatus::running(QStringLiteral("x")), light).color, theme::blue(ColorScheme::light));
        QCOMPARE(StatusLook::of(ActionStatus::done(QStringLiteral("x")), light).color, theme::green(ColorScheme::light));
        QVERIFY(theme::orange(ColorScheme::light) != theme::orange(ColorScheme::dark));
    }

    // A failure's message takes a second line before it is cut; other
    // statuses keep to one.
    void failureWrapsToASecondLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("maxLines");
        QTest::addColumn<int>("lines");
        QTest::addColumn<bool>("cut");
        const QString twoLines = QStringLiteral("The AI service did not answer. Try again.");
        const QString tooLong = QStringLiteral(
            "The AI service did not answer in time; try again in a minute or check your network and proxy settings.");
        QTest::newRow("short failure") << "No selected text." << 2 << 1 << false;
        QTest::newRow("failure on two lines") << twoLines << 2 << 2 << false;
        QTest::newRow("failure too long for two") << tooLong << 2 << 2 << true;
        QTest::newRow("done keeps one line") << twoLines << 1 << 1 << true;
    }
    void failureWrapsToASecondLine()
    {
        QFETCH(QString, text);
        QFETCH(int, maxLines);
        QFETCH(int, lines);
        QFETCH(bool, cut);
        QFont font;
        font.setPixelSize(StatusHUD::textSize);
        font.setWeight(QFont::DemiBold);
        const int width = 164;
        const StatusText fitted = StatusText::fit(text, font, width, StatusHUD::textMinimumScale, maxLines);
        QCOMPARE(fitted.lines.size(), lines);
        QCOMPARE(fitted.lines.last().endsWith(QChar(0x2026)), cut);
        if (!cut)
            QCOMPARE(fitted.lines.join(u' '), text);
        QVERIFY(fitted.scale >= StatusHUD::textMinimumScale);
        const QFontMetricsF metrics(font);
        for (const QString& line : fitted.lines)
            QVERIFY(metrics.horizontalAdvance(line) * fitted.scale <= width + 0.5);
        // Both lines fit the 36-pixel card.
        QVERIFY(metrics.height() * fitted.lines.size() * fitted.scale <= 36);
    }

    // One line: shrunk down to 0.82 of its size, then cut.
    void fitsOneLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("shrunk");
        QTest::addColumn<bool>("cut");
        QTest::newRow("short") << "Done" << false << false;
        QTest::newRow("a little long") << "Translated into Spanish" << true << false;
        QTest::newRow("long") << "The AI service did not answer in time; try again in a minute or check your network."
                              << true << true;
    }
    void fitsOneLine()
    {
        QFETCH(QString, text);
        QFETCH(bool, shrunk);
        QFETCH(bool, cut);
        QFont font;
        font.setPixelSize(StatusHUD::textSize);
        font.setWeight(QFont::DemiBold);
        const int width = 164;  // what the 260-pixel panel leaves the text
        const FittedLine line = FittedLine::fit(text, font, width, StatusHUD::textMinimumScale);
        QCOMPARE(line.scale < 1.0, shrunk);
        QVERIFY(line.scale >= StatusHUD::textMinimumScale);
        QCOMPARE(line.text != text, cut);
        if (cut) {
            QCOMPARE(line.scale, StatusHUD::textMinimumScale);
            QVERIFY(line.text.endsWith(QChar(0x2026)));
        }
        QVERIFY(QFontMetricsF(font).horizontalAdvance(line.text) * line.scale <= width + 0.5);
    }

    // Idle at attach: no panel. Running, then done: each shown in turn,
    // centred above the bottom of the screen under the pointer, never taking
    // the focus; the done status is gone 0.9 s later, a failed one 1.3 s later.
    void followsTheStatus()
    {
        AppStateRig app;
        FakePanelDesktop desktop;
        desktop.screens = { { QRect(0, 0, 960, 1080), QRect(0, 0, 960, 1080), true },
            { QRect(960, 0, 960, 1080), QRect(960, 0, 960, 1040), false } };
        desktop.pointer = QPoint(1500, 500);
        StatusHUDController hud(desktop);
        hud.attach(*app.state);
        QCoreApplication::processEvents();
        QCOMPARE(hud.shownStatus(), ActionStatus::idle());
        QCOMPARE(hud.panel(), nullptr);

        app.state->setStatus(ActionStatus::running(QStringLiteral("Fixing")));
        QCoreApplication::processEvents();
        FloatingPanel* panel = hud.panel();
        QVERIFY(panel && panel->isVisible());
        StatusHUD* view = hud.view();
        QCOMPARE(view->look().symbol, QStringLiteral("progress.indicator"));
        QCOMPARE(panel->geometry(), QRect(960 + 480 - 130, 1040 - 82 - 72, 260, 72));
        QVERIFY(panel->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
        QVERIFY(panel->testAttribute(Qt::WA_ShowWithoutActivating));
        QVERIFY(desktop.activated.isEmpty());

        desktop.pointer = QPoint(10, 10);  // re-centred on the screen of each status
        app.state->setStatus(ActionStatus::done(QStringLiteral("Fixed")));
        QCoreApplication::processEvents();
        QCOMPARE(hud.view()->status(), ActionStatus::done(QStringLiteral("Fixed")));
        QCOMPARE(hud.view()->look().symbol, QStringLiteral("checkmark.circle.fill"));
        QCOMPARE(hud.view()->accessibleName(), QStringLiteral("Fixed"));
        QCOMPARE(panel->pos(), QPoint(480 - 130, 1080 - 82 - 72));
        // Made once, and each status shown in the same view: a new one would
        // be new accessible objects for every status.
        QCOMPARE(hud.panel(), panel);
        QCOMPARE(hud.view(), view);
        app.clock.advance(899ms);
        QCoreApplication::processEvents();
        QVERIFY(panel->isVisible());
        app.clock.advance(1ms);
        QCoreApplication::processEvents();
        QVERIFY(!panel->isVisible());

        app.state->setStatus(ActionStatus::failed(QStringLiteral("Daily limit reached.")));
        QCoreApplication::processEvents();
        QVERIFY(panel->isVisible());
        app.clock.advance(1299ms);
        QCoreApplication::processEvents();
        QVERIFY(panel->isVisible());
        app.clock.advance(1ms);
        QCoreApplication::processEvents();
        QVERIFY(!panel->isVisible());
    }

    // Each status is shown as it was published, even when later ones
    // follow before the event loop turns.
    void eachValueInItsOwnTurn()
    {
        AppStateRig app;
        FakePanelDesktop desktop;
        desktop.screens.clear();
        StatusHUDController hud(desktop);
        hud.attach(*app.state);
        QList<ActionStatus> shown;
        connect(&hud, &StatusHUDController::statusShown, [&](const ActionStatus& s) { shown << s; });
        app.state->setStatus(ActionStatus::running(QStringLiteral("Reading")));
        app.state->setStatus(ActionStatus::failed(QStringLiteral("No selected text.")));
        QCoreApplication::processEvents();
        QCOMPARE(shown,
            (QList<ActionStatus> { ActionStatus::idle(), ActionStatus::running(QStringLiteral("Reading")),
                ActionStatus::failed(QStringLiteral("No selected text.")) }));
        // No monitor at all: half the width left of 0, 82 above 0.
        QCOMPARE(hud.panel()->pos(), QPoint(-130, -82 - 72));
    }
};

QTEST_MAIN(TestStatusHUD)
#include "test_status_hud.moc"
