#include "settings/SettingsScreenshot.h"

#include "settings/ActionsSettingsView.h"
#include "settings/QuickMenuSettingsView.h"

#include <QPushButton>
#include <QtTest>

using namespace mendo;
using namespace mendo::testing;

// The Actions and Quick Menu pages as the user sees them, in both languages
// and both schemes.
class TestActionsSettingsDisplay : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void screenshots_data();
    void screenshots();
};

void TestActionsSettingsDisplay::screenshots_data()
{
    addSettingsShotRows({ { SettingsPage::actions, "actions" }, { SettingsPage::quickMenu, "quick-menu" } });
}

void TestActionsSettingsDisplay::screenshots()
{
    QFETCH(SettingsPage, page);
    QFETCH(QString, name);
    QFETCH(UiLanguage, language);
    QFETCH(bool, dark);
    const bool ru = language == UiLanguage::ru;
    // A few actions on the bench, so that the latest output shows in the shot
    // too; the quick menu keeps its defaults, one action switched off.
    SettingsRig rig([&](MendoSettings& s) {
        if (page == SettingsPage::actions)
            s.quickMenuActions = { "ai", "style:original", "translate", "style:friendly", "style:professional" };
        else
            s.quickMenuActions.removeAll(QStringLiteral("style:emoji"));
        s.targetLanguage = QStringLiteral("German");
    });
    rig.engine.result = ru ? QStringLiteral("Привет, как дела? Надеюсь, неделя проходит хорошо.")
                           : QStringLiteral("Hi, how are you? I hope your week is going well.");
    rig.state->setSampleText(
        ru ? QStringLiteral("привет как дела надеюсь неделя праходит хорошо") : QStringLiteral("hi how r u hope ur week goes good"));
    const SettingsShot shot = shootSettingsPage(rig, page, name, language, dark, [&] {
        if (auto* actions = qobject_cast<ActionsSettingsView*>(rig.view->currentPage())) {
            actions->actionRows().first()->runButton()->click();
            rig.clock.advance(Millis(20));
            QVERIFY(!actions->latestOutputBlock()->isHidden());
        }
    });
    QVERIFY2(!shot.image.isNull(), qPrintable(shot.file));
    QCOMPARE(shot.image.size(), settingsShotSize);
    QVERIFY(shot.colours() > 50);
    // Nothing runs past the window's side; the page may scroll down.
    QWidget* shown = rig.view->currentPage();
    for (QWidget* child : shown->findChildren<QWidget*>()) {
        if (!child->isVisible())
            continue;
        const QRect inView(child->mapTo(rig.view.get(), QPoint(0, 0)), child->size());
        QVERIFY2(inView.left() >= 0 && inView.right() < rig.view->width(),
            qPrintable(child->objectName() + QLatin1Char(' ') + child->metaObject()->className()));
    }
    if (auto* actions = qobject_cast<ActionsSettingsView*>(shown)) {
        // The whole bench fits: the output block lies inside the shot.
        QWidget* block = actions->latestOutputBlock();
        const QRect inView(block->mapTo(rig.view.get(), QPoint(0, 0)), block->size());
        QVERIFY(rig.view->rect().contains(inView));
        // The sample reads in either scheme: its text stands out from the window.
        const QColor text = actions->sampleEditor()->palette().color(QPalette::Text);
        const QColor window = rig.view->palette().color(QPalette::Window);
        QVERIFY2(qAbs(text.lightness() - window.lightness()) > 120, qPrintable(text.name() + " on " + window.name()));
    }
}

QTEST_MAIN(TestActionsSettingsDisplay)
#include "test_actions_settings_display.moc"
