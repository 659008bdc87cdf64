#include "settings/SettingsScreenshot.h"

#include "settings/PermissionsSettingsView.h"

#include <QtTest>

using namespace mendo;
using namespace mendo::testing;

// The pages as the user sees them, in both languages and both schemes.
class TestSettingsDisplay : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void screenshots_data();
    void screenshots();
};

void TestSettingsDisplay::screenshots_data()
{
    addSettingsShotRows({ { SettingsPage::general, "general" }, { SettingsPage::permissions, "permissions" } });
}

void TestSettingsDisplay::screenshots()
{
    QFETCH(SettingsPage, page);
    QFETCH(QString, name);
    QFETCH(UiLanguage, language);
    QFETCH(bool, dark);
    SettingsRig rig;
    // One grant missing: the accessibility bus is on, XInput 2 is not there.
    rig.accessibility.granted = true;
    rig.inputMonitoring.granted = false;
    rig.state->refreshPermissions();
    QTRY_VERIFY(rig.state->permissionState().accessibilityGranted);
    const SettingsShot shot = shootSettingsPage(rig, page, name, language, dark);
    QVERIFY2(!shot.image.isNull(), qPrintable(shot.file));
    QCOMPARE(shot.image.size(), settingsShotSize);
    QVERIFY(shot.colours() > 50);
    // Nothing of the page runs past the window's edge.
    QWidget* shown = rig.view->currentPage();
    for (QWidget* child : shown->findChildren<QWidget*>()) {
        if (!child->isVisible())
            continue;
        const QRect inView(child->mapTo(rig.view.get(), QPoint(0, 0)), child->size());
        QVERIFY2(rig.view->rect().contains(inView), qPrintable(child->objectName() + QLatin1Char(' ')
            + child->metaObject()->className()));
    }
}

QTEST_MAIN(TestSettingsDisplay)
#include "test_settings_display.moc"
