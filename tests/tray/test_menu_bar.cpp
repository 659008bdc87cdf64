#include "app/AppStateRig.h"
#include "clipboard/ClipboardPanelController.h"
#include "clipboard/ClipboardPanelRig.h"
#include "desktop/BuiltInDisplaySwitch.h"
#include "fakes/FakeGlobalInputMonitor.h"
#include "fakes/FakePanelDesktop.h"
#include "tray/MendoMenuBarIcon.h"
#include "tray/MenuBarController.h"
#include "panels/QuickPanelController.h"
#include "tray/StatusHUDController.h"
#include "panels/TranslationPreviewFakes.h"
#include "panels/TranslationPreviewPanelController.h"

#include <QBuffer>
#include <QImageReader>
#include <QMenu>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>

using namespace mendo;

namespace {

using DisplayIds = QList<BuiltInDisplaySwitch::DisplayId>;

// A display switch that keeps its state in fields and reports each change.
class FakeDisplaySwitch final : public BuiltInDisplaySwitch {
public:
    bool canConfigure = true;
    std::optional<DisplayId> disabled;
    std::optional<DisplayId> builtIn;
    DisplayIds others;
    bool mirrored = false;
    QStringList calls;
    std::function<void()> onChange;

    bool configureEnabled() const override { return canConfigure; }
    std::optional<DisplayId> disabledDisplayID() const override { return disabled; }
    std::optional<DisplayId> activeBuiltInDisplay() const override { return builtIn; }
    QList<DisplayId> otherActiveDisplays(DisplayId excluding) const override
    {
        DisplayIds result = others;
        result.removeAll(excluding);
        return result;
    }
    bool isInMirrorSet(DisplayId) const override { return mirrored; }
    void disableBuiltIn() override
    {
        calls << QStringLiteral("disable");
        if (builtIn && !others.isEmpty() && !mirrored) {
            disabled = builtIn;
            builtIn.reset();
        }
        if (onChange)
            onChange();
    }
    void enableBuiltIn() override
    {
        calls << QStringLiteral("enable");
        if (disabled) {
            builtIn = disabled;
            disabled.reset();
        }
        if (onChange)
            onChange();
    }
    void setOnChange(std::function<void()> action) override { onChange = std::move(action); }
};

const QString displayItemTitle = QStringLiteral("Turn Off Built-in Display");

// The controller attached to an application state over fakes.
struct Rig {
    AppStateRig app;
    FakeDisplaySwitch displays;
    FakePanelDesktop panelDesktop;
    FakeGlobalInputMonitor globalInput;
    FakeWorkspace workspace;
    FocusService focus { workspace };
    std::unique_ptr<QuickPanelController> quickPanel
        = std::make_unique<QuickPanelController>(QuickPanelController::Services {
            panelDesktop, globalInput, app.defaults, focus, app.focused });
    StatusHUDController statusHUD { panelDesktop };
    ClipboardPanelRig clipboardRig { app.clock, app.defaults };
    std::unique_ptr<ClipboardPanelController>& clipboard = clipboardRig.controller;
    TranslationPreviewFakes previewFakes { app.clock, app.defaults, app.selection };
    std::unique_ptr<CountingTranslationPreview> translation
        = std::make_unique<CountingTranslationPreview>(previewFakes.services());
    int mainWindowShown = 0;
    MenuBarController controller { displays };

    explicit Rig(const std::function<void(MendoSettings&)>& prepare = {})
        : app(prepare)
    {
    }

    void attach()
    {
        controller.attach(*app.state, *quickPanel, statusHUD, *clipboard, *translation, [this] { ++mainWindowShown; });
        settle();
    }

    static void settle()
    {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The shown menu, each entry as "title", "-" for a separator.
    QStringList shownTitles() const
    {
        QStringList titles;
        for (QAction* action : controller.menu()->actions())
            titles << (action->isSeparator() ? QStringLiteral("-") : action->text());
        return titles;
    }

    QAction* shownItem(const QString& title) const
    {
        for (QAction* action : controller.menu()->actions())
            if (action->text() == title)
                return action;
        return nullptr;
    }

    // Chooses an item of the shown menu as the user would.
    void choose(const QString& title)
    {
        QAction* action = shownItem(title);
        QVERIFY2(action, qPrintable(title));
        action->trigger();
    }
};

const QStringList plainMenu {
    QStringLiteral("Open MendoAI"),
    QStringLiteral("Quick Menu"),
    QStringLiteral("Clipboard History"),
    QStringLiteral("Translation Preview"),
    QStringLiteral("-"),
    QStringLiteral("Permissions"),
    QStringLiteral("Refresh Permissions"),
    QStringLiteral("-"),
    QStringLiteral("Quit MendoAI"),
};

QStringList withDisplayItem(const QString& title)
{
    QStringList titles = plainMenu;
    titles.insert(4, QStringLiteral("-"));
    titles.insert(5, title);
    return titles;
}

}  // namespace

class TestMenuBar : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The shown menu is the model's, entry for entry, and the icon is the
    // drawn one at every size a tray asks for.
    void menuAndIcon()
    {
        Rig rig;
        rig.displays.canConfigure = false;
        rig.attach();
        QVERIFY(rig.controller.statusItem());
        QCOMPARE(rig.controller.statusItem()->toolTip(), QStringLiteral("MendoAI"));
        QCOMPARE(rig.controller.menu()->title(), QStringLiteral("MendoAI"));
        QCOMPARE(rig.controller.currentMenu().title, QStringLiteral("MendoAI"));
        QCOMPARE(rig.shownTitles(), plainMenu);
        QStringList modelTitles;
        for (const MenuBarEntry& entry : rig.controller.currentMenu().entries)
            modelTitles << (entry.separator ? QStringLiteral("-") : entry.title);
        QCOMPARE(modelTitles, plainMenu);
        for (QAction* action : rig.controller.menu()->actions())
            QVERIFY(action->isEnabled());

        for (int size : { 16, 22, 24, 32 }) {
            const QImage image = MendoMenuBarIcon::makeImage(size);
            QCOMPARE(image.size(), QSize(size, size));
            // Light shapes inside a dark rim, on a clear ground.
            int light = 0;
            int dark = 0;
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x) {
                    const QColor pixel = image.pixelColor(x, y);
                    light += pixel.alpha() == 255 && pixel.lightness() > 200;
                    dark += pixel.alpha() == 255 && pixel.lightness() < 60;
                }
            QVERIFY2(light > size && dark > size, qPrintable(QString::number(size)));
            QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
        }
    }

    // The desktop entry's icon is the tray's drawing: shown at a launcher's
    // size, its letters, keys and rim fall where the tray image has them. Only
    // edges differ (the tray's shapes snap to its pixels, its letters' rim is
    // square); letters missing, upside down or moved by a twentieth of the
    // height differ in 13 % of the pixels and more.
    void svgIconIsTheTrayDrawing()
    {
        constexpr int size = 128;
        QBuffer buffer;
        buffer.setData(MendoMenuBarIcon::makeSvg());
        QImageReader reader(&buffer, "svg");
        reader.setScaledSize(QSize(size, size));
        const QImage drawn = reader.read().convertToFormat(QImage::Format_ARGB32);
        QVERIFY2(!drawn.isNull(), qPrintable(reader.errorString()));
        const QImage tray = MendoMenuBarIcon::makeImage(size).convertToFormat(QImage::Format_ARGB32);
        // Clear, rim or light: each pixel's part of the drawing.
        auto part = [](const QColor& pixel) { return pixel.alpha() < 128 ? 0 : pixel.lightness() < 128 ? 1 : 2; };
        int differing = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                differing += part(drawn.pixelColor(x, y)) != part(tray.pixelColor(x, y));
        QVERIFY2(differing < size * size / 10, qPrintable(QString::number(differing)));
    }

    void displayItem_data()
    {
        QTest::addColumn<bool>("canConfigure");
        QTest::addColumn<int>("builtIn");  // 0: none active
        QTest::addColumn<DisplayIds>("others");
        QTest::addColumn<bool>("mirrored");
        QTest::addColumn<int>("disabled");  // 0: none switched off
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<bool>("enabled");
        const DisplayIds external { 7 };
        QTest::newRow("no configuration function") << false << 1 << external << false << 0 << false << false << false;
        QTest::newRow("no built-in display") << true << 0 << external << false << 0 << false << false << false;
        QTest::newRow("only the built-in display")
            << true << 1 << DisplayIds {} << false << 0 << true << false << false;
        QTest::newRow("external display") << true << 1 << external << false << 0 << true << false << true;
        QTest::newRow("mirrored") << true << 1 << external << true << 0 << true << false << false;
        QTest::newRow("switched off") << true << 0 << external << false << 1 << true << true << true;
        QTest::newRow("switched off, lid closed") << true << 0 << DisplayIds {} << false << 1 << true << true << true;
    }

    void displayItem()
    {
        QFETCH(bool, canConfigure);
        QFETCH(int, builtIn);
        QFETCH(DisplayIds, others);
        QFETCH(bool, mirrored);
        QFETCH(int, disabled);
        QFETCH(bool, shown);
        QFETCH(bool, checked);
        QFETCH(bool, enabled);
        Rig rig;
        rig.displays.canConfigure = canConfigure;
        if (builtIn)
            rig.displays.builtIn = builtIn;
        rig.displays.others = others;
        rig.displays.mirrored = mirrored;
        if (disabled)
            rig.displays.disabled = disabled;
        rig.attach();

        QCOMPARE(rig.shownTitles(), shown ? withDisplayItem(displayItemTitle) : plainMenu);
        if (!shown)
            return;
        QAction* item = rig.shownItem(displayItemTitle);
        QCOMPARE(item->isCheckable(), true);
        QCOMPARE(item->isChecked(), checked);
        QCOMPARE(item->isEnabled(), enabled);
        const MenuBarEntry* entry = rig.controller.currentMenu().item(displayItemTitle);
        QCOMPARE(entry->checked, checked);
        QCOMPARE(entry->enabled, enabled);
    }

    // Chosen from the open menu, the item switches the display off and the
    // rebuilt menu shows it off; chosen again, it switches it back on. The
    // menu the choice came from outlives the choice.
    void displayItemSwitchesOffAndBackOn()
    {
        Rig rig;
        rig.displays.builtIn = 1;
        rig.displays.others = { 7 };
        rig.attach();
        rig.controller.menu()->popup(QPoint(10, 10));
        const QPointer<QMenu> openMenu = rig.controller.menu();

        rig.choose(displayItemTitle);
        QCOMPARE(rig.displays.calls, QStringList { QStringLiteral("disable") });
        QVERIFY(openMenu);  // released later, not from inside its own item
        QVERIFY(rig.controller.menu() != openMenu);
        rig.settle();
        QVERIFY(!openMenu);
        QAction* item = rig.shownItem(displayItemTitle);
        QVERIFY(item->isChecked());
        QVERIFY(item->isEnabled());

        rig.choose(displayItemTitle);
        rig.settle();
        QCOMPARE(rig.displays.calls, (QStringList { QStringLiteral("disable"), QStringLiteral("enable") }));
        QVERIFY(!rig.shownItem(displayItemTitle)->isChecked());

        // A switch that refuses keeps the mark where the switch's state is.
        rig.displays.others.clear();
        rig.displays.onChange = {};
        rig.choose(displayItemTitle);
        QVERIFY(!rig.shownItem(displayItemTitle)->isChecked());
    }

    // Russian changes only the display item's title.
    void russianRetitlesOnlyTheDisplayItem()
    {
        Rig rig;
        rig.displays.builtIn = 1;
        rig.attach();
        rig.app.setLanguage(UiLanguage::ru);
        rig.settle();
        QCOMPARE(rig.shownTitles(), withDisplayItem(QStringLiteral("Выключить встроенный экран")));
    }

    // Hidden at launch there is no item; switched on it comes with a full
    // menu; switched off it goes with the menu's actions.
    void itemFollowsTheSetting()
    {
        Rig rig([](MendoSettings& s) { s.menuBarIconVisible = false; });
        rig.attach();
        QVERIFY(!rig.controller.statusItem());
        QVERIFY(!rig.controller.menu());
        QCOMPARE(rig.controller.actionTargetCount(), 0);

        rig.app.state->editSettings([](MendoSettings& s) { s.menuBarIconVisible = true; });
        rig.settle();
        QVERIFY(rig.controller.statusItem());
        QCOMPARE(rig.shownTitles(), plainMenu);
        QCOMPARE(rig.controller.actionTargetCount(), 7);

        // Every settings value builds the menu anew.
        const QPointer<QMenu> before = rig.controller.menu();
        rig.app.state->editSettings([](MendoSettings& s) { s.uiLanguage = UiLanguage::ru; });
        rig.settle();
        QVERIFY(!before);
        QCOMPARE(rig.shownTitles(), plainMenu);

        const QPointer<QSystemTrayIcon> item = rig.controller.statusItem();
        rig.app.state->editSettings([](MendoSettings& s) { s.menuBarIconVisible = false; });
        rig.settle();
        QVERIFY(!rig.controller.statusItem());
        QVERIFY(!item);
        QVERIFY(!rig.controller.menu());
        QCOMPARE(rig.controller.actionTargetCount(), 0);
    }

    // Each item reaches its object.
    void itemsReachTheirObjects()
    {
        Rig rig;
        rig.attach();
        QSignalSpy quit(&rig.controller, &MenuBarController::quitRequested);

        rig.choose(QStringLiteral("Open MendoAI"));
        QCOMPARE(rig.mainWindowShown, 1);
        rig.choose(QStringLiteral("Quick Menu"));
        QVERIFY(rig.quickPanel->isPanelVisible());
        QCOMPARE(rig.quickPanel->appState(), rig.app.state.get());
        rig.choose(QStringLiteral("Quick Menu"));
        QVERIFY(!rig.quickPanel->isPanelVisible());
        rig.choose(QStringLiteral("Clipboard History"));
        QVERIFY(rig.clipboard->isPanelVisible());
        rig.choose(QStringLiteral("Translation Preview"));
        QCOMPARE(rig.translation->showFromSelectionRequests, 1);

        rig.choose(QStringLiteral("Permissions"));
        QCOMPARE(rig.app.state->selectedSettingsPage(), SettingsPage::permissions);
        QCOMPARE(rig.mainWindowShown, 2);

        rig.app.inputMonitoring.granted = !rig.app.state->permissionState().inputMonitoringGranted;
        const PermissionState before = rig.app.state->permissionState();
        rig.choose(QStringLiteral("Refresh Permissions"));
        rig.settle();
        QVERIFY(rig.app.state->permissionState() != before);

        QCOMPARE(quit.size(), 0);
        rig.choose(QStringLiteral("Quit MendoAI"));
        QCOMPARE(quit.size(), 1);
    }

    // An item whose objects are gone does nothing; the page is still shown.
    void itemsOfGoneObjectsDoNothing()
    {
        Rig rig;
        rig.attach();
        rig.quickPanel.reset();
        rig.clipboard.reset();
        rig.translation.reset();
        for (const QString& title : { QStringLiteral("Quick Menu"), QStringLiteral("Clipboard History"),
                 QStringLiteral("Translation Preview") })
            rig.choose(title);

        Rig stateless;
        stateless.attach();
        stateless.app.state.reset();
        for (const QString& title : { QStringLiteral("Quick Menu"), QStringLiteral("Translation Preview"),
                 QStringLiteral("Refresh Permissions") })
            stateless.choose(title);
        QVERIFY(!stateless.quickPanel->isPanelVisible());
        QCOMPARE(stateless.translation->showFromSelectionRequests, 0);
        stateless.choose(QStringLiteral("Permissions"));
        QCOMPARE(stateless.mainWindowShown, 1);
        // The display switch's change finds no state to read: nothing happens.
        stateless.displays.onChange();
    }
};

QTEST_MAIN(TestMenuBar)
#include "test_menu_bar.moc"
