#include "settings/SettingsRig.h"

#include "hotkeys/HotkeyRecorderField.h"
#include "hotkeys/ParsedHotkey.h"
#include "model/MendoPromptLibrary.h"
#include "settings/GeneralSettingsView.h"
#include "settings/PermissionsSettingsView.h"
#include "settings/SettingsBackdrops.h"
#include "settings/SettingsControls.h"
#include "settings/SettingsSidebar.h"
#include "ui/MendoTheme.h"
#include "ui/SymbolRegistry.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

using namespace mendo;

namespace {

QStringList sidebarTitles(const MainSettingsView& view)
{
    QStringList titles;
    for (const SettingsSidebarRow* row : view.sidebar()->rows())
        titles << row->text();
    return titles;
}

// Every control of a page names itself to screen readers.
QStringList unnamedControls(QWidget* page)
{
    QStringList unnamed;
    for (QWidget* control : page->findChildren<QWidget*>()) {
        if (!qobject_cast<QAbstractButton*>(control) && !qobject_cast<QComboBox*>(control))
            continue;
        if (control->accessibleName().trimmed().isEmpty())
            unnamed << control->objectName() + QLatin1Char(':') + control->metaObject()->className();
    }
    return unnamed;
}

}  // namespace

class TestSettingsWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sidebarAndHeaderInBothLanguages();
    void pagesOpenFromTheirTop();
    void pagesAreMadeOnFirstSelection();
    void look_data();
    void look();
    void noPageSymbolDrawsTheFallback();
    void everyControlIsNamed();
    void hotkeyFieldShowsAndWritesTheStoredText();
};

void TestSettingsWindow::sidebarAndHeaderInBothLanguages()
{
    SettingsRig rig;
    MainSettingsView& view = rig.makeView();
    QCOMPARE(sidebarTitles(view),
        (QStringList { "General", "Actions", "Styles", "AI Reply", "Quick Menu", "Clipboard", "Layout", "Permissions",
            "Shortcuts", "Updates" }));
    QCOMPARE(view.header()->text(), QStringLiteral("General"));
    QVERIFY(view.sidebar()->row(SettingsPage::general)->isSelected());
    QCOMPARE(view.sidebar()->row(SettingsPage::layout)->accessibleName(), QStringLiteral("Layout"));

    // One change of the language retitles the sidebar, the header and the
    // page at once.
    QVERIFY(rig.shownPage<GeneralSettingsView>());
    rig.setLanguage(UiLanguage::ru);
    QCOMPARE(sidebarTitles(view),
        (QStringList { "Основные", "Действия", "Стили", "AI Reply", "Быстрое меню", "Буфер", "Раскладка",
            "Разрешения", "Хоткеи", "Обновления" }));
    QCOMPARE(view.header()->text(), QStringLiteral("Основные"));
    QCOMPARE(view.sidebar()->row(SettingsPage::shortcuts)->accessibleName(), QStringLiteral("Хоткеи"));
    QCOMPARE(rig.shownPage<GeneralSettingsView>()->trayIconToggle()->text(), QStringLiteral("Показывать иконку в трее"));
}

void TestSettingsWindow::pagesOpenFromTheirTop()
{
    SettingsRig rig;
    MainSettingsView& view = rig.makeView();
    view.show();
    // A General page taller than the window, scrolled down.
    view.currentPage()->setMinimumHeight(3000);
    QTRY_VERIFY(view.currentScrollArea()->verticalScrollBar()->maximum() > 0);
    view.currentScrollArea()->verticalScrollBar()->setValue(800);

    // A row click selects its page in the state and shows it.
    QSignalSpy saves(rig.state.get(), &MendoAppState::settingsChanged);
    view.sidebar()->row(SettingsPage::permissions)->click();
    QCOMPARE(rig.state->selectedSettingsPage(), SettingsPage::permissions);
    QCOMPARE(view.header()->text(), QStringLiteral("Permissions"));
    QVERIFY(qobject_cast<PermissionsSettingsView*>(view.currentPage()));
    QVERIFY(view.sidebar()->row(SettingsPage::permissions)->isSelected());
    QVERIFY(!view.sidebar()->row(SettingsPage::general)->isSelected());
    QCOMPARE(view.currentScrollArea()->verticalScrollBar()->value(), 0);

    // Selected from outside the window (the tray's permissions entry does so),
    // the page comes back from its top.
    rig.state->setSelectedSettingsPage(SettingsPage::general);
    QVERIFY(qobject_cast<GeneralSettingsView*>(view.currentPage()));
    QCOMPARE(view.header()->text(), QStringLiteral("General"));
    QCOMPARE(view.currentScrollArea()->verticalScrollBar()->value(), 0);
    // Selecting pages is no change of the settings.
    QCOMPARE(saves.size(), 0);
}

void TestSettingsWindow::pagesAreMadeOnFirstSelection()
{
    SettingsRig rig;
    MainSettingsView& view = rig.makeView();
    std::vector<SettingsPage> later = allCases<SettingsPage>();
    std::erase(later, SettingsPage::general);
    for (const SettingsPage page : allCases<SettingsPage>())
        QCOMPARE(view.page(page) != nullptr, page == SettingsPage::general);

    for (const SettingsPage page : later) {
        QVERIFY(!view.page(page));
        rig.state->setSelectedSettingsPage(page);
        QVERIFY(view.page(page));
        QCOMPARE(view.currentPage(), view.page(page));
    }
    // A page is made once and shown again as it is.
    QWidget* general = view.page(SettingsPage::general);
    rig.state->setSelectedSettingsPage(SettingsPage::general);
    QCOMPARE(view.currentPage(), general);
}

void TestSettingsWindow::look_data()
{
    QTest::addColumn<AppearanceMode>("mode");
    QTest::addColumn<bool>("systemSolid");
    QTest::addColumn<SurfaceMode>("userSurface");
    QTest::addColumn<bool>("dark");
    QTest::addColumn<double>("gradient");
    QTest::addColumn<double>("tint");
    // The user's own surface setting never counts: the desktop's does.
    for (const SurfaceMode user : { SurfaceMode::translucent, SurfaceMode::solid }) {
        const QByteArray suffix = user == SurfaceMode::solid ? " (user: solid)" : " (user: translucent)";
        QTest::newRow("system, translucent desktop" + suffix)
            << AppearanceMode::system << false << user << false << 0.0 << 0.0;
        QTest::newRow("system, solid desktop" + suffix) << AppearanceMode::system << true << user << false << 0.0 << 0.0;
        QTest::newRow("mint, translucent desktop" + suffix)
            << AppearanceMode::liquidMint << false << user << true << 0.08 << 0.025;
        QTest::newRow("mint, solid desktop" + suffix)
            << AppearanceMode::liquidMint << true << user << true << 0.18 << 0.045;
    }
}

void TestSettingsWindow::look()
{
    QFETCH(AppearanceMode, mode);
    QFETCH(bool, systemSolid);
    QFETCH(SurfaceMode, userSurface);
    QFETCH(bool, dark);
    QFETCH(double, gradient);
    QFETCH(double, tint);
    SettingsRig rig([&](MendoSettings& s) { s.surfaceMode = userSurface; });
    MainSettingsView& view = rig.makeView();
    const bool desktopDark = theme::colorSchemeOf(QApplication::palette()) == ColorScheme::dark;
    QVERIFY2(!desktopDark, "the offscreen desktop draws light");

    // Changed while the window is open: the look follows at once.
    rig.state->editSettings([&](MendoSettings& s) { s.appearanceMode = mode; });
    rig.transparency.reduce = systemSolid;
    rig.state->startSystemSurfaceObserver();
    QCOMPARE(rig.state->systemSurfaceMode(), systemSolid ? SurfaceMode::solid : SurfaceMode::translucent);

    QCOMPARE(theme::colorSchemeOf(view.palette()) == ColorScheme::dark, dark);
    QCOMPARE(view.palette().color(QPalette::Highlight),
        mode == AppearanceMode::system ? QApplication::palette().color(QPalette::Highlight) : theme::accentColor(mode));
    QCOMPARE(view.windowBackdrop()->gradientOpacity(), gradient);
    QCOMPARE(view.sidebarBackdrop()->tintOpacity(), tint);
    QCOMPARE(view.windowBackdrop()->material(), VisualEffectMaterial::underWindowBackground);
    QCOMPARE(view.sidebarBackdrop()->material(), VisualEffectMaterial::sidebar);
    QCOMPARE(view.sidebarBackdrop()->state(), VisualEffectState::active);
    if (mode == AppearanceMode::system) {
        QCOMPARE(view.sidebarBackdrop()->tint().alpha(), 0);
        QCOMPARE(view.sidebarBackdrop()->separator().rgb(), view.palette().color(QPalette::Mid).rgb());
    } else {
        QCOMPARE(view.sidebarBackdrop()->tint().rgb(), theme::surfaceTint(mode).rgb());
        QCOMPARE(view.sidebarBackdrop()->separator().rgb(), QColor(Qt::white).rgb());
        QVERIFY(qAbs(view.sidebarBackdrop()->separator().alphaF() - 0.08 * 0.55) < 0.01);
    }
    // The cards follow the scheme only.
    auto* card = view.currentPage()->findChild<SettingsBlock*>();
    QVERIFY(card);
    QCOMPARE(card->fillOpacity(), dark ? 0.055 : 0.045);

    // Back to the system appearance, the window follows the desktop again.
    rig.state->editSettings([](MendoSettings& s) { s.appearanceMode = AppearanceMode::system; });
    QCOMPARE(theme::colorSchemeOf(view.palette()), ColorScheme::light);
    QCOMPARE(view.windowBackdrop()->gradientOpacity(), 0.0);
    QCOMPARE(card->fillOpacity(), 0.045);
}

void TestSettingsWindow::noPageSymbolDrawsTheFallback()
{
    QStringList symbols { "checkmark.circle.fill", "exclamationmark.circle" };
    for (const SettingsPage page : allCases<SettingsPage>())
        symbols << symbolName(page);
    for (const char* id : { "ai", "translate", "clipboard", "layout" })
        symbols << QuickAction { QString::fromLatin1(id) }.symbolName();
    for (const QString& style : MendoPromptLibrary::builtInStyleIds())
        symbols << QuickAction { QStringLiteral("style:") + style }.symbolName();
    QStringList fallback;
    for (const QString& symbol : symbols) {
        if (SymbolRegistry::drawsFallback(symbol))
            fallback << symbol;
    }
    QCOMPARE(fallback, QStringList());
    QVERIFY(SymbolRegistry::drawsFallback(QStringLiteral("no.such.symbol")));
}

void TestSettingsWindow::everyControlIsNamed()
{
    SettingsRig rig;
    MainSettingsView& view = rig.makeView();
    for (const UiLanguage language : { UiLanguage::en, UiLanguage::ru }) {
        rig.setLanguage(language);
        for (const SettingsPage page : allCases<SettingsPage>()) {
            rig.state->setSelectedSettingsPage(page);
            QCOMPARE(unnamedControls(view.currentPage()), QStringList());
        }
        QCOMPARE(unnamedControls(view.sidebar()), QStringList());
    }
    auto* general = qobject_cast<GeneralSettingsView*>(view.page(SettingsPage::general));
    QCOMPARE(general->appearancePicker()->accessibleName(), QStringLiteral("Внешний вид"));
}

void TestSettingsWindow::hotkeyFieldShowsAndWritesTheStoredText()
{
    SettingsRig rig([](MendoSettings& s) { s.quickMenuHotkey = QStringLiteral("Alt+Q"); });
    MainSettingsEnvironment environment = rig.environment();
    std::unique_ptr<HotkeyRecorderField> field(makeHotkeyField(environment, 142));
    bindHotkeyField(field.get(), *rig.state, binding(*rig.state, &MendoSettings::quickMenuHotkey));
    QSignalSpy edits(field.get(), &HotkeyRecorderField::hotkeyEdited);
    QSignalSpy saves(rig.state.get(), &MendoAppState::settingsChanged);
    QCOMPARE(field->text(), QStringLiteral("⌥ Q"));

    // Recorded by the user: written in one save.
    field->beginRecording();
    field->handle({ Qt::Key_Backspace, 22, {}, {} });
    QCOMPARE(rig.state->settings().quickMenuHotkey, ParsedHotkey::notAssigned);
    QCOMPARE(saves.size(), 1);
    QCOMPARE(edits.size(), 1);

    // Changed elsewhere: shown, nothing written back.
    rig.state->editSettings([](MendoSettings& s) { s.quickMenuHotkey = QStringLiteral("Control+Alt+Shift+Left"); });
    QCOMPARE(field->text(), QStringLiteral("⌃ ⌥ ⇧ ←"));
    field->setHotkey(QStringLiteral("Alt+I"));
    QCOMPARE(edits.size(), 1);

    // A stored text no hotkey reads as is shown as stored and kept.
    rig.state->editSettings([](MendoSettings& s) { s.quickMenuHotkey = QStringLiteral("Hyper+Option+"); });
    QCOMPARE(field->text(), QStringLiteral("Hyper+Option+"));
    QCOMPARE(saves.size(), 3);
    QCOMPARE(edits.size(), 1);
    QCOMPARE(rig.state->settings().quickMenuHotkey, QStringLiteral("Hyper+Option+"));
    QCOMPARE(rig.store.load().quickMenuHotkey, QStringLiteral("Hyper+Option+"));
}

QTEST_MAIN(TestSettingsWindow)
#include "test_settings_window.moc"
