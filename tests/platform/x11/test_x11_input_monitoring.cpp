#include "platform/x11/X11InputMonitoring.h"

#include <QTest>

using namespace mendo;

class TestX11InputMonitoring : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void grantedWhereTheServerOffersBothExtensions();
};

void TestX11InputMonitoring::grantedWhereTheServerOffersBothExtensions()
{
    // The test session's Xvfb has XTEST and XInput 2.
    X11InputMonitoring session;
    QVERIFY(session.inputMonitoringGranted());
    QVERIFY(session.requestInputMonitoring());

    // No server to ask: nothing is granted.
    X11InputMonitoring nowhere(":987654");
    QVERIFY(!nowhere.inputMonitoringGranted());
}

QTEST_GUILESS_MAIN(TestX11InputMonitoring)
#include "test_x11_input_monitoring.moc"
