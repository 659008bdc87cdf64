#include "settings/SettingsScreenshot.h"

#include "hotkeys/HotkeyRecorderField.h"
#include "settings/ShortcutsSettingsView.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>

using namespace mendo;
using namespace mendo::testing;

// The Shortcuts page as the user sees it, in both languages and both schemes.
class TestShortcutsSettingsDisplay : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void screenshots_data();
    void screenshots();
};

void TestShortcutsSettingsDisplay::screenshots_data()
{
    QTest::addColumn<UiLanguage>("language");
    QTest::addColumn<bool>("dark");
    // Scrolled: the long subtitles of the swaps, the display row and the styles.
    QTest::addColumn<bool>("scrolled");
    for (const bool scrolled : { false, true }) {
        for (const UiLanguage language : { UiLanguage::en, UiLanguage::ru }) {
            for (const bool dark : { false, true }) {
                const QByteArray row = QByteArray(scrolled ? "scrolled " : "") + (language == UiLanguage::ru ? "ru" : "en")
                    + (dark ? " dark" : " light");
                QTest::newRow(row.constData()) << language << dark << scrolled;
            }
        }
    }
}

void TestShortcutsSettingsDisplay::screenshots()
{
    QFETCH(UiLanguage, language);
    QFETCH(bool, dark);
    QFETCH(bool, scrolled);
    // A laptop with a monitor: all 14 tiling rows.
    SettingsRig rig([](MendoSettings& s) { s.windowTilingHotkeys["topRight"] = "Not assigned"; });
    rig.displays.displays = { { 1, true }, { 2, false } };
    const SettingsShot shot = shootSettingsPage(rig, SettingsPage::shortcuts,
        scrolled ? QStringLiteral("shortcuts-scrolled") : QStringLiteral("shortcuts"), language, dark, [&] {
            if (!scrolled)
                return;
            auto* page = qobject_cast<ShortcutsSettingsView*>(rig.view->currentPage());
            QVERIFY(page);
            QScrollArea* area = nullptr;
            for (QWidget* up = page->parentWidget(); up && !area; up = up->parentWidget())
                area = qobject_cast<QScrollArea*>(up);
            QVERIFY(area);
            const QWidget* from = page->tilingField(QStringLiteral("swapRight"));
            area->verticalScrollBar()->setValue(from->mapTo(area->widget(), QPoint(0, 0)).y() - 40);
        });
    QVERIFY2(!shot.image.isNull(), qPrintable(shot.file));
    QCOMPARE(shot.image.size(), settingsShotSize);
    QVERIFY(shot.colours() > 50);
    auto* page = qobject_cast<ShortcutsSettingsView*>(rig.view->currentPage());
    QVERIFY(page);
    QCOMPARE(page->shownTilingIds().size(), 14);
    // The page scrolls down; across, nothing runs past the window's edge.
    for (QWidget* child : page->findChildren<QWidget*>()) {
        if (!child->isVisible())
            continue;
        const QRect inView(child->mapTo(rig.view.get(), QPoint(0, 0)), child->size());
        QVERIFY2(inView.left() >= 0 && inView.right() <= rig.view->width(),
            qPrintable(child->objectName() + QLatin1Char(' ') + child->metaObject()->className()));
    }
    // Each field keeps its whole width, beside texts that wrap.
    QCOMPARE(page->actionField(QStringLiteral("translatePreviewHotkey"))->width(),
        page->tilingField(QStringLiteral("leftHalf"))->width());
}

QTEST_MAIN(TestShortcutsSettingsDisplay)
#include "test_shortcuts_settings_display.moc"
