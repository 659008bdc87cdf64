#include "app/AppStateRig.h"
#include "input/StatusHUDController.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>

using namespace mendo;

class TestStatusHUD : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The panel appears with the first status that is not idle, shows each
    // one's text without taking the focus, and idle puts it away.
    void followsTheStatusAndHidesOnIdle()
    {
        AppStateRig app;
        StatusHUDController hud;
        hud.attach(*app.state);
        app.state->setStatus(ActionStatus::idle());
        QCoreApplication::processEvents();
        QCOMPARE(hud.panel(), nullptr);

        app.state->setStatus(ActionStatus::running(QStringLiteral("Reading selection")));
        app.state->setStatus(ActionStatus::failed(QStringLiteral("Daily limit reached.")));
        QCoreApplication::processEvents();
        QVERIFY(hud.panel() && hud.panel()->isVisible());
        QCOMPARE(hud.panel()->windowTitle(), QStringLiteral("Daily limit reached."));
        QVERIFY(hud.panel()->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
        QVERIFY(hud.panel()->testAttribute(Qt::WA_ShowWithoutActivating));
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(hud.panel()->x(), area.x() + area.width() / 2 - StatusHUDController::panelWidth / 2);
        QCOMPARE(hud.panel()->geometry().bottom(), area.bottom() - StatusHUDController::bottomMargin);

        app.state->setStatus(ActionStatus::idle());
        QCoreApplication::processEvents();
        QVERIFY(!hud.panel()->isVisible());
    }
};

QTEST_MAIN(TestStatusHUD)
#include "test_status_hud.moc"
