#include "settings/SettingsScreenshot.h"

#include "settings/AIReplySettingsView.h"
#include "settings/StyleCardList.h"
#include "settings/StylesSettingsView.h"

#include <QAbstractButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>

using namespace mendo;
using namespace mendo::testing;

// The Styles and AI Reply pages as the user sees them, in both languages and
// both schemes, each with a style of the user's added and scrolled into view
// with its trash button.
class TestSettingsStylesDisplay : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void screenshots_data();
    void screenshots();
};

void TestSettingsStylesDisplay::screenshots_data()
{
    addSettingsShotRows({ { SettingsPage::styles, "styles" }, { SettingsPage::aiReply, "ai-reply" } });
}

void TestSettingsStylesDisplay::screenshots()
{
    QFETCH(SettingsPage, page);
    QFETCH(QString, name);
    QFETCH(UiLanguage, language);
    QFETCH(bool, dark);
    SettingsRig rig;
    rig.setLanguage(language);
    if (page == SettingsPage::styles)
        rig.state->addPromptStyle();
    else
        rig.state->addAIReplyStyle();

    StyleEditorCard* added = nullptr;
    const SettingsShot shot = shootSettingsPage(rig, page, name, language, dark, [&] {
        auto* list = rig.view->currentPage()->findChild<StyleCardList*>();
        QVERIFY(list);
        added = list->cards().last();
        // The last cards, the user's among them, in view.
        QScrollArea* area = rig.view->currentScrollArea();
        QTRY_VERIFY(area->verticalScrollBar()->maximum() > 0);
        for (int i = 0; i < 5; ++i) {
            area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
            QTest::qWait(60);
        }
        QTRY_VERIFY(added->isBuilt());
        QTRY_VERIFY(!added->deleteButton()->visibleRegion().isEmpty());
    });
    QVERIFY2(!shot.image.isNull(), qPrintable(shot.file));
    QCOMPARE(shot.image.size(), settingsShotSize);
    QVERIFY(shot.colours() > 50);
    // The user's card lies whole inside the page's view, its trash too.
    QScrollArea* area = rig.view->currentScrollArea();
    const QRect card(added->mapTo(area->viewport(), QPoint(0, 0)), added->size());
    QVERIFY2(area->viewport()->rect().contains(card),
        qPrintable(QStringLiteral("%1,%2 %3x%4").arg(card.x()).arg(card.y()).arg(card.width()).arg(card.height())));
    QVERIFY(added->deleteButton()->isVisible());
}

QTEST_MAIN(TestSettingsStylesDisplay)
#include "test_settings_styles_display.moc"
