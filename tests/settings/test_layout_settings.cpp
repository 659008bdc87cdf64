// The Layout page over fakes: the pickers offer the page's names and write
// what the user picks, the rule rows show and edit their rules, the chooser
// lists the installed and running applications and adds the one chosen.

#include "settings/SettingsRig.h"

#include "fakes/FakeApplicationCatalog.h"
#include "hotkeys/HotkeyRecorderField.h"
#include "settings/ApplicationChooserDialog.h"
#include "settings/ApplicationIcons.h"
#include "settings/LayoutSettingsModel.h"
#include "settings/LayoutSettingsView.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using namespace mendo;

namespace {

const QUuid editorRule = QUuid::fromString(QStringLiteral("{11111111-1111-1111-1111-111111111111}"));
const QUuid terminalRule = QUuid::fromString(QStringLiteral("{22222222-2222-2222-2222-222222222222}"));

QStringList items(const QComboBox* box)
{
    QStringList names;
    for (int i = 0; i < box->count(); ++i)
        names << box->itemText(i);
    return names;
}

// The Layout page over us,ru with a catalogue of three applications and two
// running ones, one of them without an entry.
struct LayoutPageRig : SettingsRig {
    FakeApplicationCatalog catalog;

    explicit LayoutPageRig(const std::function<void(MendoSettings&)>& prepare = {})
        : SettingsRig(prepare)
    {
        inputSources.add(QStringLiteral("us"), QStringLiteral("English (US)"));
        inputSources.add(QStringLiteral("ru"), QStringLiteral("Russian"));
        inputSources.currentIndex = 1;
        catalog.applications = {
            { QStringLiteral("org.example.Editor"), QStringLiteral("Editor"), QStringLiteral("Редактор"),
                QStringLiteral("accessories-text-editor"), QStringLiteral("/apps/org.example.Editor.desktop") },
            { QStringLiteral("kde4-konsole"), QStringLiteral("konsole"), {}, {},
                QStringLiteral("/apps/kde4/konsole.desktop") },
            { QStringLiteral("unnamed"), {}, {}, {}, QStringLiteral("/apps/unnamed.desktop") },
        };
        workspace.applications = { { 10, QStringLiteral("org.example.Editor"), 1 },
            { 20, QStringLiteral("XTerm"), 2 }, { 21, QStringLiteral("XTerm"), 3 }, { 30, QString(), 4 },
            { 40, QStringLiteral("ai.mendo.MendoAI"), 5 } };
        platform.applications = &catalog;
    }

    LayoutSettingsView* page()
    {
        state->setSelectedSettingsPage(SettingsPage::layout);
        MainSettingsView& window = makeView();
        if (!window.isVisible())
            window.show();
        return shownPage<LayoutSettingsView>();
    }
};

// Runs `inDialog` on the chooser once it is open.
void whenChooserOpens(std::function<void(ApplicationChooserDialog*)> inDialog)
{
    QTimer::singleShot(0, [inDialog = std::move(inDialog)] {
        auto* dialog = qobject_cast<ApplicationChooserDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        inDialog(dialog);
    });
}

}  // namespace

class TestLayoutSettings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void choicesAreNamedInTheLanguageAndSorted_data();
    void choicesAreNamedInTheLanguageAndSorted();
    void pickersOfferTheLayoutsAndWriteWhatIsPicked();
    void aStoredNameOutsideTheListIsShownNotStored();
    void rowsShowAndEditTheirRules();
    void chooserAddsTheChosenApplication();
    void chooserCancelAddsNothing();
    void iconsComeFromTheEntryOnce();
};

void TestLayoutSettings::choicesAreNamedInTheLanguageAndSorted_data()
{
    QTest::addColumn<UiLanguage>("language");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("ids");
    QTest::addColumn<QStringList>("paths");
    QTest::newRow("English")
        << UiLanguage::en << QStringList { "Editor", "konsole", "unnamed", "XTerm" }
        << QStringList { "org.example.Editor", "kde4-konsole", "unnamed", "XTerm" }
        << QStringList { "/apps/org.example.Editor.desktop", "/apps/kde4/konsole.desktop", "/apps/unnamed.desktop",
               "" };
    QTest::newRow("Russian") << UiLanguage::ru << QStringList { "konsole", "unnamed", "XTerm", "Редактор" }
                             << QStringList { "kde4-konsole", "unnamed", "XTerm", "org.example.Editor" }
                             << QStringList { "/apps/kde4/konsole.desktop", "/apps/unnamed.desktop", "",
                                    "/apps/org.example.Editor.desktop" };
}

void TestLayoutSettings::choicesAreNamedInTheLanguageAndSorted()
{
    QFETCH(UiLanguage, language);
    QFETCH(QStringList, names);
    QFETCH(QStringList, ids);
    QFETCH(QStringList, paths);
    LayoutPageRig rig;
    QStringList gotNames, gotIds, gotPaths;
    for (const ApplicationChoice& choice : applicationChoices(rig.catalog, rig.workspace, language)) {
        gotNames << choice.name;
        gotIds << choice.id;
        gotPaths << choice.path;
    }
    QCOMPARE(gotNames, names);
    QCOMPARE(gotIds, ids);
    QCOMPARE(gotPaths, paths);
}

void TestLayoutSettings::pickersOfferTheLayoutsAndWriteWhatIsPicked()
{
    LayoutPageRig rig;
    LayoutSettingsView* page = rig.page();
    QVERIFY(page);
    const QStringList offered { "ABC", "English (US)", "Russian", "Русская — ПК" };
    QCOMPARE(items(page->latinPicker()), offered);
    QCOMPARE(items(page->nativePicker()), offered);
    QCOMPARE(page->latinPicker()->currentText(), QStringLiteral("ABC"));
    QCOMPARE(page->nativePicker()->currentText(), QStringLiteral("Русская — ПК"));
    QCOMPARE(page->hotkeyField()->hotkey(), QStringLiteral("Alt+A"));
    QCOMPARE(rig.defaults.writes, 0);

    QSignalSpy saves(rig.state.get(), &MendoAppState::settingsChanged);
    page->latinPicker()->setCurrentIndex(1);
    Q_EMIT page->latinPicker()->activated(1);
    QCOMPARE(rig.state->settings().layoutLatinSource, QStringLiteral("English (US)"));
    QCOMPARE(rig.state->settings().layoutNativeSource, QStringLiteral("Русская — ПК"));
    QCOMPARE(saves.count(), 1);

    page->detectButton()->click();
    QCOMPARE(items(page->latinPicker()), (QStringList { "English (US)", "Russian" }));
    QCOMPARE(page->nativePicker()->currentText(), QStringLiteral("Russian"));
    QCOMPARE(rig.state->settings().layoutNativeSource, QStringLiteral("Russian"));

    page->perAppToggle()->click();
    QVERIFY(rig.state->settings().appLayoutSwitchingEnabled);
    page->autoSwitchToggle()->click();
    QVERIFY(!rig.state->settings().layoutAutoSwitch);
    QCOMPARE(page->footnote()->text(),
        QStringLiteral("Automatically switch the keyboard layout when an assigned app becomes active."));
    rig.setLanguage(UiLanguage::ru);
    QCOMPARE(page->detectButton()->text(), QStringLiteral("Определить системные раскладки"));
    QCOMPARE(page->addButton()->text(), QStringLiteral("Добавить приложение"));
    QCOMPARE(page->perAppToggle()->text(), QStringLiteral("Раскладка для приложений"));
}

void TestLayoutSettings::aStoredNameOutsideTheListIsShownNotStored()
{
    LayoutPageRig rig;
    LayoutSettingsView* page = rig.page();
    page->detectButton()->click();
    QCOMPARE(items(page->nativePicker()), (QStringList { "English (US)", "Russian" }));
    // Stored elsewhere meanwhile: shown as stored, and not written back.
    QSignalSpy saves(rig.state.get(), &MendoAppState::settingsChanged);
    rig.state->editSettings([](MendoSettings& s) { s.layoutNativeSource = QStringLiteral("Hebrew"); });
    QCOMPARE(page->nativePicker()->currentText(), QStringLiteral("Hebrew"));
    QCOMPARE(items(page->nativePicker()), (QStringList { "English (US)", "Russian", "Hebrew" }));
    QCOMPARE(page->latinPicker()->currentText(), QStringLiteral("English (US)"));
    QCOMPARE(saves.count(), 1);
    // Until the user picks one of the offered names.
    Q_EMIT page->nativePicker()->activated(1);
    QCOMPARE(rig.state->settings().layoutNativeSource, QStringLiteral("Russian"));
    QCOMPARE(items(page->nativePicker()), (QStringList { "English (US)", "Russian" }));
    QCOMPARE(saves.count(), 2);
}

void TestLayoutSettings::rowsShowAndEditTheirRules()
{
    const QList<AppLayoutRule> rules {
        { editorRule, QStringLiteral("org.example.Editor"), QStringLiteral("Editor"), QString(),
            QStringLiteral("Russian"), true },
        { terminalRule, QStringLiteral("XTerm"), QStringLiteral("XTerm"), QString(), QStringLiteral("Greek"), false },
    };
    LayoutPageRig rig([&](MendoSettings& s) { s.appLayoutRules = rules; });
    LayoutSettingsView* page = rig.page();
    QList<AppLayoutRuleRow*> rows = page->ruleRows();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0]->name()->accessibleName(), QStringLiteral("Editor"));
    QCOMPARE(rows[0]->identifier()->accessibleName(), QStringLiteral("org.example.Editor"));
    QCOMPARE(rows[0]->layoutPicker()->currentText(), QStringLiteral("Russian"));
    QCOMPARE(rows[0]->layoutPicker()->width(), 170);
    QVERIFY(rows[0]->enabledToggle()->isChecked());
    QCOMPARE(rows[1]->layoutPicker()->currentText(), QStringLiteral("Greek"));
    QVERIFY(!rows[1]->enabledToggle()->isChecked());
    QCOMPARE(rows[1]->removeButton()->toolTip(), QStringLiteral("Remove rule"));
    QCOMPARE(rows[1]->layoutPicker()->accessibleName(), QStringLiteral("Layout for XTerm"));

    // Each control writes its own field of its own rule; the rows stay.
    const int layoutIndex = int(items(rows[1]->layoutPicker()).indexOf(QStringLiteral("English (US)")));
    Q_EMIT rows[1]->layoutPicker()->activated(layoutIndex);
    rows[0]->enabledToggle()->click();
    QList<AppLayoutRule> expected = rules;
    expected[1].layoutName = QStringLiteral("English (US)");
    expected[0].isEnabled = false;
    QCOMPARE(rig.state->settings().appLayoutRules, expected);
    QCOMPARE(page->ruleRows(), rows);

    rows[0]->removeButton()->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(rig.state->settings().appLayoutRules, (QList<AppLayoutRule> { expected[1] }));
    rows = page->ruleRows();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0]->ruleId(), terminalRule);
}

void TestLayoutSettings::chooserAddsTheChosenApplication()
{
    LayoutPageRig rig([](MendoSettings& s) { s.uiLanguage = UiLanguage::ru; });
    LayoutSettingsView* page = rig.page();
    QString title;
    QStringList shown;
    whenChooserOpens([&](ApplicationChooserDialog* dialog) {
        title = dialog->windowTitle();
        QCOMPARE(dialog->addButton()->text(), QStringLiteral("Добавить"));
        QVERIFY(!dialog->addButton()->isEnabled());
        dialog->filterField()->setText(QStringLiteral("ред"));
        for (int row = 0; row < dialog->list()->model()->rowCount(); ++row)
            shown << dialog->list()->model()->index(row, 0).data().toString();
        QVERIFY(dialog->addButton()->isEnabled());
        dialog->addButton()->click();
    });
    page->addButton()->click();
    QCOMPARE(title, QStringLiteral("Выберите приложение"));
    QCOMPARE(shown, QStringList { QStringLiteral("Редактор") });
    const QList<AppLayoutRule> rules = rig.state->settings().appLayoutRules;
    QCOMPARE(rules.size(), 1);
    QCOMPARE(rules[0].bundleIdentifier, QStringLiteral("org.example.Editor"));
    QCOMPARE(rules[0].appName, QStringLiteral("Редактор"));
    QCOMPARE(rules[0].appPath, QStringLiteral("/apps/org.example.Editor.desktop"));
    QCOMPARE(rules[0].layoutName, QStringLiteral("Russian"));
    QVERIFY(rules[0].isEnabled);
    QVERIFY(rig.state->settings().appLayoutSwitchingEnabled);
    QCOMPARE(page->ruleRows().size(), 1);

    // A running application without an entry, by its id.
    whenChooserOpens([](ApplicationChooserDialog* dialog) {
        QVERIFY(dialog->select(QStringLiteral("XTerm")));
        dialog->addButton()->click();
    });
    page->addButton()->click();
    QCOMPARE(rig.state->settings().appLayoutRules.size(), 2);
    QCOMPARE(rig.state->settings().appLayoutRules[1].appPath, QString());
    QCOMPARE(rig.state->settings().appLayoutRules[1].appName, QStringLiteral("XTerm"));
    QCOMPARE(page->ruleRows().size(), 2);
}

void TestLayoutSettings::chooserCancelAddsNothing()
{
    LayoutPageRig rig;
    LayoutSettingsView* page = rig.page();
    const int writes = rig.defaults.writes;
    whenChooserOpens([](ApplicationChooserDialog* dialog) {
        QVERIFY(dialog->select(QStringLiteral("kde4-konsole")));
        dialog->reject();
    });
    page->addButton()->click();
    QVERIFY(rig.state->settings().appLayoutRules.isEmpty());
    QVERIFY(!rig.state->settings().appLayoutSwitchingEnabled);
    QCOMPARE(rig.defaults.writes, writes);
}

void TestLayoutSettings::iconsComeFromTheEntryOnce()
{
    QTemporaryDir dir;
    const QString entry = dir.filePath(QStringLiteral("app.desktop"));
    const QString picture = dir.filePath(QStringLiteral("app.png"));
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QVERIFY(image.save(picture));
    QFile file(entry);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Desktop Entry]\nType=Application\nIcon=" + picture.toUtf8() + "\n");
    file.close();

    ApplicationIcons icons;
    auto colour = [](const QIcon& icon) { return icon.pixmap(16).toImage().pixelColor(8, 8); };
    QCOMPARE(colour(icons.forEntry(entry)), QColor(Qt::red));
    // Read once: a changed file keeps the icon it had.
    QVERIFY(QFile::remove(entry));
    QCOMPARE(colour(icons.forEntry(entry)), QColor(Qt::red));
    const QImage generic = ApplicationIcons::generic().pixmap(16).toImage();
    QVERIFY(!generic.isNull());
    QCOMPARE(icons.forEntry(QString()).pixmap(16).toImage(), generic);
    QCOMPARE(icons.forEntry(dir.filePath(QStringLiteral("missing.desktop"))).pixmap(16).toImage(), generic);
    QCOMPARE(icons.forName(QStringLiteral("no-such-icon-anywhere")).pixmap(16).toImage(), generic);
}

QTEST_MAIN(TestLayoutSettings)
#include "test_layout_settings.moc"
