// The Clipboard page over the real clipboard history on memory defaults and
// a scripted selection transfer: the settings it edits, the history it lists,
// and paste, delete and clear on its entries.

#include "settings/ClipboardUpdatesRig.h"

#include "clipboard/ClipboardEntryList.h"
#include "engine/PasteboardServiceError.h"
#include "settings/ClipboardSettingsView.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

using namespace mendo;
using namespace std::chrono_literals;

namespace {

ClipboardHistoryItem entry(const QString& id, const QString& text, int minutesAgo = 0)
{
    return { id, text, QDateTime(QDate(2026, 11, 1), QTime(12, 0)).addSecs(-60 * minutesAgo), text.size() };
}

QString longText()
{
    QString text;
    for (int i = 0; text.size() < 2000; ++i)
        text += QStringLiteral("word%1 ").arg(i);
    return text + QStringLiteral("END");
}

void clickRowButton(ClipboardEntryList* list, int row, ClipboardRowButton::Action action)
{
    const QList<ClipboardRowButton> buttons = list->buttons();
    for (int b = 0; b < buttons.size(); ++b) {
        if (buttons[b].action == action) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->buttonRect(row, b).center());
            return;
        }
    }
    QFAIL("no such button");
}

QStringList listedTexts(const ClipboardEntryList* list)
{
    QStringList texts;
    for (const auto& e : list->entries())
        texts << e.text;
    return texts;
}

}  // namespace

class TestClipboardSettings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void switchWritesItsField();
    void stepper_data();
    void stepper();
    void keepTime_data();
    void keepTime();
    void emptyTextAndRows();
    void deleteRemovesEveryEntryWithItsId();
    void paste_data();
    void paste();
    void clearEmptiesTheHistory();
    void textsInBothLanguages();
    void screenshots();
};

void TestClipboardSettings::switchWritesItsField()
{
    ClipboardUpdatesRig rig;
    auto* page = rig.open<ClipboardSettingsView>(SettingsPage::clipboard);
    QVERIFY(page->historyToggle()->isChecked());
    page->historyToggle()->click();
    QCOMPARE(rig.state->settings().clipboardHistoryEnabled, false);
    QCOMPARE(NativeSettingsStore(rig.defaults).load().clipboardHistoryEnabled, false);
    // Changed elsewhere: shown, not written back.
    QSignalSpy saves(rig.state.get(), &MendoAppState::settingsChanged);
    rig.state->editSettings([](MendoSettings& s) { s.clipboardHistoryEnabled = true; });
    QVERIFY(page->historyToggle()->isChecked());
    QCOMPARE(saves.size(), 1);
}

void TestClipboardSettings::stepper_data()
{
    QTest::addColumn<qint64>("stored");
    QTest::addColumn<bool>("decreaseEnabled");
    QTest::addColumn<bool>("increaseEnabled");
    QTest::addColumn<qint64>("afterDecrease");
    QTest::addColumn<qint64>("afterIncrease");
    QTest::newRow("default") << qint64(100) << true << true << qint64(99) << qint64(101);
    QTest::newRow("lower bound") << qint64(10) << false << true << qint64(10) << qint64(11);
    QTest::newRow("upper bound") << qint64(500) << true << false << qint64(499) << qint64(500);
    QTest::newRow("stored above the range") << qint64(800) << true << false << qint64(500) << qint64(800);
    QTest::newRow("stored below the range") << qint64(5) << false << true << qint64(5) << qint64(10);
    QTest::newRow("store's maximum") << qint64(1000) << true << false << qint64(500) << qint64(1000);
    QTest::newRow("store's minimum") << qint64(1) << false << true << qint64(1) << qint64(10);
}

void TestClipboardSettings::stepper()
{
    QFETCH(qint64, stored);
    QFETCH(bool, decreaseEnabled);
    QFETCH(bool, increaseEnabled);
    QFETCH(qint64, afterDecrease);
    QFETCH(qint64, afterIncrease);
    const auto prepare = [stored](MendoSettings& s) { s.clipboardLimit = stored; };
    {
        ClipboardUpdatesRig rig(prepare);
        QSignalSpy saves(rig.state.get(), &MendoAppState::settingsChanged);
        auto* page = rig.open<ClipboardSettingsView>(SettingsPage::clipboard);
        rig.setLanguage(UiLanguage::ru);
        rig.setLanguage(UiLanguage::en);
        // Shown as stored; showing (and re-showing in another language) wrote
        // no limit.
        QCOMPARE(page->limitLabel()->text(), QStringLiteral("History limit: %1").arg(stored));
        QCOMPARE(NativeSettingsStore(rig.defaults).load().clipboardLimit, stored);
        QCOMPARE(saves.size(), 2);
        QCOMPARE(page->decreaseButton()->isEnabled(), decreaseEnabled);
        QCOMPARE(page->increaseButton()->isEnabled(), increaseEnabled);
        page->decreaseButton()->click();
        QCOMPARE(rig.state->settings().clipboardLimit, afterDecrease);
        QCOMPARE(NativeSettingsStore(rig.defaults).load().clipboardLimit, afterDecrease);
        QCOMPARE(page->limitLabel()->text(), QStringLiteral("History limit: %1").arg(afterDecrease));
    }
    ClipboardUpdatesRig rig(prepare);
    auto* page = rig.open<ClipboardSettingsView>(SettingsPage::clipboard);
    page->increaseButton()->click();
    QCOMPARE(NativeSettingsStore(rig.defaults).load().clipboardLimit, afterIncrease);
}

void TestClipboardSettings::keepTime_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("russian");
    QTest::newRow("forever") << "forever" << "forever" << "всегда";
    QTest::newRow("days") << "30" << "30" << "30";
    QTest::newRow("unreadable, as stored") << "Forever " << "Forever " << "Forever ";
}

void TestClipboardSettings::keepTime()
{
    QFETCH(QString, stored);
    QFETCH(QString, english);
    QFETCH(QString, russian);
    ClipboardUpdatesRig rig([&](MendoSettings& s) { s.clipboardDays = stored; });
    auto* page = rig.open<ClipboardSettingsView>(SettingsPage::clipboard);
    QCOMPARE(page->daysValue()->text(), english);
    rig.setLanguage(UiLanguage::ru);
    QCOMPARE(page->daysValue()->text(), russian);
    QCOMPARE(rig.state->settings().clipboardDays, stored);
}

void TestClipboardSettings::emptyTextAndRows()
{
    ClipboardUpdatesRig rig;
    auto* page = rig.open<ClipboardSettingsView>(SettingsPage::clipboard);
    QVERIFY(page->emptyText()->isVisible());
    QCOMPARE(page->emptyText()->text(), QStringLiteral("Clipboard history is empty."));
    QVERIFY(!page->list()->isVisible());

    // Copies arrive while the page is shown: newest first, as the history
    // keeps them.
    rig.ownHistory->record(QStringLiteral("first copy"));
    rig.ownHistory->record(longText());
    rig.ownHistory->record(QStringLiteral("line one\nline two\nline three\nline four\nline five"));
    QVERIFY(!page->emptyText()->isVisible());
    QVERIFY(page->list()->isVisible());
    ClipboardEntryList* list = page->list();
    QCOMPARE(listedTexts(list),
        (QStringList { QStringLiteral("line one\nline two\nline three\nline four\nline five"), longText(),
            QStringLiteral("first copy") }));

    // At most three lines each, and no length caption.
    QCOMPARE(list->lineLimit(), 3);
    QVERIFY(!list->showsLength());
    QFont font = list->font();
    font.setPixelSize(13);
    const int lineSpacing = QFontMetrics(font).lineSpacing();
    const int padding = 2 * ClipboardEntryList::rowPadding;
    QCOMPARE(list->rowRect(0).height(), padding + 3 * lineSpacing);
    QCOMPARE(list->rowRect(1).height(), padding + 3 * lineSpacing);
    QCOMPARE(list->rowRect(2).height(), padding + std::max(lineSpacing, int(ClipboardEntryList::buttonSize)));
    // The list fills the page below the card and scrolls by itself.
    QVERIFY(list->height() > 250);
    QCOMPARE(list->buttons().size(), 2);
    QCOMPARE(list->buttons()[0].symbolName, QStringLiteral("arrow.turn.down.left"));
    QCOMPARE(list->buttons()[1].symbolName, QStringLiteral("trash"));
}

void TestClipboardSettings::deleteRemovesEveryEntryWithItsId()
{
    // A history stored by an older run may carry an id twice.
    ClipboardUpdatesRig rig({},
        { entry("a", "alpha"), entry("b", "bravo", 1), entry("a", "alpha again", 2), entry("c", "charlie", 3),
            entry("d", "delta", 4) });
    auto* page = rig.open<ClipboardSettingsView>(SettingsPage::clipboard);
    QCOMPARE(listedTexts(page->list()), (QStringList { "alpha", "bravo", "alpha again", "charlie", "delta" }));
    const auto statusBefore = rig.state->status();

    clickRowButton(page->list(), 0, ClipboardRowButton::Action::remove);
    QCOMPARE(listedTexts(page->list()), (QStringList { "bravo", "charlie", "delta" }));
    QCOMPARE(rig.storedTexts(), (QStringList { "bravo", "charlie", "delta" }));
    clickRowButton(page->list(), 1, ClipboardRowButton::Action::remove);
    QCOMPARE(rig.storedTexts(), (QStringList { "bravo", "delta" }));
    QCOMPARE(rig.state->status(), statusBefore);
    QVERIFY(rig.selection.calls.isEmpty());
}

void TestClipboardSettings::paste_data()
{
    QTest::addColumn<int>("failure");  // -1: none
    QTest::addColumn<UiLanguage>("language");
    QTest::addColumn<QString>("status");
    QTest::newRow("pasted") << -1 << UiLanguage::en << "done Pasted";
    QTest::newRow("pasted, Russian") << -1 << UiLanguage::ru << "done Вставлено";
    for (const auto code : { PasteboardServiceError::emptyText, PasteboardServiceError::emptySelection,
             PasteboardServiceError::missingAccessibilityPermission, PasteboardServiceError::pasteTargetUnavailable,
             PasteboardServiceError::pasteEditorUnavailable, PasteboardServiceError::pasteNotApplied,
             PasteboardServiceError::pasteEventFailed, PasteboardServiceError::copyEventFailed }) {
        const QString message = PasteboardServiceError::message(code);
        QTest::newRow(qPrintable(message)) << int(code) << UiLanguage::ru << "failed " + message;
    }
}

void TestClipboardSettings::paste()
{
    QFETCH(int, failure);
    QFETCH(UiLanguage, language);
    QFETCH(QString, status);
    ClipboardUpdatesRig rig([&](MendoSettings& s) { s.uiLanguage = language; },
        { entry("short", "short one"), entry("long", longText(), 1) });
    if (failure >= 0)
        rig.selection.pasteError = [failure] { throw PasteboardServiceError(PasteboardServiceError::Code(failure)); };
    auto* page = rig.open<ClipboardSettingsView>(SettingsPage::clipboard);
    clickRowButton(page->list(), 1, ClipboardRowButton::Action::paste);
    // The whole text, no target: the application the user worked in last.
    QCOMPARE(rig.selection.calls, QStringList { "paste " + longText() + " standard" });
    // The window closes while the paste runs: it still reports.
    rig.window.reset();
    rig.clock.advance(10ms);
    QCOMPARE(AppStateRig::describe(rig.state->status()), status);
    // The entry keeps its place.
    QCOMPARE(rig.storedTexts(), (QStringList { "short one", longText() }));
}

void TestClipboardSettings::clearEmptiesTheHistory()
{
    ClipboardUpdatesRig rig({}, { entry("a", "alpha"), entry("b", "bravo", 1) });
    auto* page = rig.open<ClipboardSettingsView>(SettingsPage::clipboard);
    page->clearButton()->click();
    QVERIFY(rig.ownHistory->items().isEmpty());
    QVERIFY(rig.storedTexts().isEmpty());
    QVERIFY(page->emptyText()->isVisible());
    QVERIFY(!page->list()->isVisible());
    QCOMPARE(AppStateRig::describe(rig.state->status()), QStringLiteral("done Clipboard history cleared"));
}

void TestClipboardSettings::textsInBothLanguages()
{
    ClipboardUpdatesRig rig({}, { entry("a", "alpha") });
    auto* page = rig.open<ClipboardSettingsView>(SettingsPage::clipboard);
    const auto texts = [page] {
        return QStringList { page->historyToggle()->text(), page->limitLabel()->text(),
            page->findChild<QLabel*>(QStringLiteral("daysTitle"))->text(), page->daysValue()->text(),
            page->clearButton()->text(), page->recentTitle()->text(), page->emptyText()->text(),
            page->decreaseButton()->accessibleName(), page->increaseButton()->accessibleName() };
    };
    QCOMPARE(texts(),
        (QStringList { "Keep local clipboard history", "History limit: 100", "Keep for days", "forever",
            "Clear history", "Recent clipboard", "Clipboard history is empty.", "Decrease history limit",
            "Increase history limit" }));
    rig.setLanguage(UiLanguage::ru);
    QCOMPARE(texts(),
        (QStringList { "Хранить локальную историю буфера", "Лимит истории: 100", "Хранить дней", "всегда",
            "Очистить историю", "Недавний буфер", "История буфера пуста.", "Уменьшить лимит истории",
            "Увеличить лимит истории" }));
    QCOMPARE(rig.window->header()->text(), QStringLiteral("Буфер"));
}

void TestClipboardSettings::screenshots()
{
    const QList<ClipboardHistoryItem> stored { entry("1", "Meeting notes: send the agenda by Friday"),
        entry("2", "https://example.org/a/very/long/address/that/was/copied/from/the/browser/earlier/today", 3),
        entry("3", "Привет! Скопируй это приветствие и вставь в чат", 9),
        entry("4", "Line one of a longer note\nline two of it\nline three of it\nline four is not shown", 20),
        entry("5", "Invoice 2026-031, March", 45), entry("6", "ssh deploy@build.example.org", 60) };
    for (const UiLanguage language : { UiLanguage::en, UiLanguage::ru }) {
        for (const bool dark : { false, true }) {
            ClipboardUpdatesRig rig(
                [&](MendoSettings& s) {
                    s.uiLanguage = language;
                    s.appearanceMode = dark ? AppearanceMode::liquidNoir : AppearanceMode::system;
                },
                stored);
            auto* page = rig.open<ClipboardSettingsView>(SettingsPage::clipboard);
            QCOMPARE(page->list()->entries().size(), stored.size());
            const QString name = QStringLiteral("settings-clipboard-%1-%2.png")
                                     .arg(rawValue(language), dark ? QStringLiteral("dark") : QStringLiteral("light"));
            QVERIFY(saveSettingsShot(rig.window.get(), name));
        }
    }
}

QTEST_MAIN(TestClipboardSettings)
#include "test_clipboard_settings.moc"
