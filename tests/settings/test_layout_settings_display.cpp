// The Layout page on the X session: "Detect system layouts" over the
// server's XKB groups; an application installed in the user's applications
// folder, added through the chooser, has its layout selected by the
// per-application layout service when it comes to the front, and no longer
// once its rule is removed; and the screenshots of the page and the chooser.

#include "settings/SettingsScreenshot.h"

#include "desktop/AppLayoutSwitchService.h"
#include "fakes/FakeApplicationCatalog.h"
#include "platform/x11/ApplicationIdResolver.h"
#include "platform/x11/X11ApplicationCatalog.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Workspace.h"
#include "platform/x11/XkbInputSources.h"
#include "settings/ApplicationChooserDialog.h"
#include "settings/ApplicationIcons.h"
#include "settings/LayoutSettingsModel.h"
#include "settings/LayoutSettingsView.h"
#include "support/X11TestApps.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using namespace mendo;
using namespace mendo::testing;
using namespace std::chrono_literals;

namespace {

QString savedLayout()
{
    const QString query = QString::fromUtf8(runTool(QStringLiteral("setxkbmap"), { QStringLiteral("-query") }));
    for (const QString& line : query.split(u'\n'))
        if (line.startsWith(QLatin1String("layout:")))
            return line.mid(7).trimmed();
    return QStringLiteral("us");
}

QString shotName(const QString& what, UiLanguage language, bool dark)
{
    return QStringLiteral("settings-%1-%2-%3.png")
        .arg(what, language == UiLanguage::ru ? QStringLiteral("ru") : QStringLiteral("en"),
            dark ? QStringLiteral("dark") : QStringLiteral("light"));
}

// The environment of `rig` with other desktop seams and layouts.
MainSettingsEnvironment environmentWith(SettingsRig& rig, const Platform& platform, KeyboardLayoutService& layouts)
{
    return { *rig.state, rig.quickPanel, rig.statusHUD, rig.hotkeys, rig.menuBar, rig.history, rig.clipboardPanel,
        rig.assistantPanel, rig.updateManager, platform, rig.selection, layouts, rig.builtInDisplay };
}

const QList<InstalledApplication> shownApplications {
    { QStringLiteral("chromium"), QStringLiteral("Chromium"), QStringLiteral("Chromium"), QStringLiteral("chromium"),
        QStringLiteral("/usr/share/applications/chromium.desktop") },
    { QStringLiteral("debian-xterm"), QStringLiteral("XTerm"), QStringLiteral("Терминал XTerm"),
        QStringLiteral("xterm-color"), QStringLiteral("/usr/share/applications/debian-xterm.desktop") },
    { QStringLiteral("vim"), QStringLiteral("Vim"), {}, QStringLiteral("gvim"),
        QStringLiteral("/usr/share/applications/vim.desktop") },
    { QStringLiteral("org.example.Writer"), QStringLiteral("Writer"), QStringLiteral("Редактор текста"), {},
        QStringLiteral("/usr/share/applications/org.example.Writer.desktop") },
};

}  // namespace

class TestLayoutSettingsDisplay : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void detectStoresTheServersLayouts();
    void chosenApplicationGetsItsLayoutUntilTheRuleGoes();
    void screenshots_data();
    void screenshots();

private:
    QString m_savedLayout;
};

void TestLayoutSettingsDisplay::initTestCase()
{
    m_savedLayout = savedLayout();
    QCOMPARE(QProcess::execute(QStringLiteral("setxkbmap"), { "-layout", "us,ru", "-variant", "," }), 0);
}

void TestLayoutSettingsDisplay::cleanupTestCase()
{
    QProcess::execute(QStringLiteral("setxkbmap"), { "-layout", m_savedLayout, "-variant", "" });
}

void TestLayoutSettingsDisplay::detectStoresTheServersLayouts()
{
    x11::X11Connection connection;
    XkbInputSources sources(connection);
    KeyboardLayoutService layouts(sources);
    SettingsRig rig;
    LayoutSettingsView page(environmentWith(rig, rig.platform, layouts));
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QTest::mouseClick(page.detectButton(), Qt::LeftButton);
    QCOMPARE(rig.state->settings().layoutLatinSource, QStringLiteral("English (US)"));
    QCOMPARE(rig.state->settings().layoutNativeSource, QStringLiteral("Russian"));
    QCOMPARE(rig.store.load().layoutNativeSource, QStringLiteral("Russian"));
    QCOMPARE(page.latinPicker()->currentText(), QStringLiteral("English (US)"));
    QCOMPARE(page.nativePicker()->currentText(), QStringLiteral("Russian"));
}

void TestLayoutSettingsDisplay::chosenApplicationGetsItsLayoutUntilTheRuleGoes()
{
    // The user's own applications folder holds the target's entry.
    QTemporaryDir dataHome;
    QVERIFY(QDir().mkpath(dataHome.filePath("applications/tools")));
    QFile entry(dataHome.filePath("applications/tools/chosen-target.desktop"));
    QVERIFY(entry.open(QIODevice::WriteOnly));
    entry.write("[Desktop Entry]\nType=Application\nName=Chosen Target\nName[ru]=Выбранная цель\nExec=target\n"
                "StartupWMClass=MendoTargetChosen\n");
    entry.close();
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    ApplicationIdResolver resolver;
    X11ApplicationCatalog catalog(ApplicationIdResolver::standardApplicationDirs());

    x11::X11Connection connection;
    X11Workspace workspace(connection, resolver);
    XkbInputSources sources(connection);
    KeyboardLayoutService layouts(sources);
    SettingsRig rig;
    Platform platform = rig.platform;
    platform.workspace = &workspace;
    platform.applications = &catalog;
    AppLayoutSwitchService service(workspace, sources, layouts, rig.clock, rig.log);
    const auto group = [&] { return sources.current() ? sources.current()->index : -1; };
    const auto lockGroup = [&](int index) { QCOMPARE(sources.select(sources.sources().at(index)), 0); };
    QCOMPARE(sources.sources().size(), 2);

    auto target = startTargetApp(QStringLiteral("target"), { QStringLiteral("--class"), QStringLiteral("MendoTargetChosen") });
    QVERIFY(waitUntilFrontmost(workspace, target->pid()));
    const WindowId targetWindow = workspace.frontmostApplication()->window;
    auto other = startTargetApp(QStringLiteral("other"), { QStringLiteral("--class"), QStringLiteral("MendoTargetOther") });
    QVERIFY(waitUntilFrontmost(workspace, other->pid()));
    const WindowId otherWindow = workspace.frontmostApplication()->window;
    service.start(*rig.state);
    const auto activate = [&](WindowId window, qint32 pid) {
        runTool(QStringLiteral("xdotool"), { QStringLiteral("windowactivate"), QString::number(window) });
        QVERIFY(waitUntilFrontmost(workspace, pid));
    };

    LayoutSettingsView page(environmentWith(rig, platform, layouts));
    page.resize(700, 600);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    // The layout in use when the application is added is the rule's.
    lockGroup(1);
    QStringList offered;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<ApplicationChooserDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QTest::keyClicks(dialog->filterField(), QStringLiteral("chosen"));
        for (int row = 0; row < dialog->list()->model()->rowCount(); ++row)
            offered << dialog->list()->model()->index(row, 0).data().toString();
        QTest::mouseClick(dialog->addButton(), Qt::LeftButton);
    });
    QTest::mouseClick(page.addButton(), Qt::LeftButton);
    QCOMPARE(offered, QStringList { QStringLiteral("Chosen Target") });
    QCOMPARE(rig.state->settings().appLayoutRules.size(), 1);
    const AppLayoutRule rule = rig.state->settings().appLayoutRules.first();
    QCOMPARE(rule.bundleIdentifier, QStringLiteral("tools-chosen-target"));
    QCOMPARE(rule.layoutName, QStringLiteral("Russian"));
    QCOMPARE(rule.appPath, entry.fileName());
    QVERIFY(rig.state->settings().appLayoutSwitchingEnabled);
    QCOMPARE(page.ruleRows().size(), 1);

    lockGroup(0);
    activate(targetWindow, target->pid());
    QTRY_COMPARE(group(), 1);

    // After the guard, the rule goes: the target keeps the user's layout.
    rig.clock.advance(1600ms);
    activate(otherWindow, other->pid());
    QTest::mouseClick(page.ruleRows().first()->removeButton(), Qt::LeftButton);
    QVERIFY(rig.state->settings().appLayoutRules.isEmpty());
    QTRY_VERIFY(page.ruleRows().isEmpty());
    lockGroup(0);
    activate(targetWindow, target->pid());
    QTest::qWait(500);
    rig.clock.advance(1000ms);
    QTest::qWait(200);
    QCOMPARE(group(), 0);
    QVERIFY2(rig.log.lines.isEmpty(), qPrintable(rig.log.lines.join(u'\n')));
    qunsetenv("XDG_DATA_HOME");
}

void TestLayoutSettingsDisplay::screenshots_data()
{
    QTest::addColumn<UiLanguage>("language");
    QTest::addColumn<bool>("dark");
    QTest::newRow("en light") << UiLanguage::en << false;
    QTest::newRow("ru light") << UiLanguage::ru << false;
    QTest::newRow("en dark") << UiLanguage::en << true;
    QTest::newRow("ru dark") << UiLanguage::ru << true;
}

void TestLayoutSettingsDisplay::screenshots()
{
    QFETCH(UiLanguage, language);
    QFETCH(bool, dark);
    SettingsRig rig([&](MendoSettings& s) {
        s.uiLanguage = language;
        s.appearanceMode = dark ? AppearanceMode::liquidNoir : AppearanceMode::system;
        s.layoutLatinSource = QStringLiteral("English (US)");
        s.layoutNativeSource = QStringLiteral("Russian");
        s.appLayoutSwitchingEnabled = true;
        s.appLayoutRules = {
            { QUuid::createUuid(), QStringLiteral("chromium"), QStringLiteral("Chromium"),
                QStringLiteral("/usr/share/applications/chromium.desktop"), QStringLiteral("English (US)"), true },
            { QUuid::createUuid(), QStringLiteral("debian-xterm"),
                language == UiLanguage::ru ? QStringLiteral("Терминал XTerm") : QStringLiteral("XTerm"),
                QStringLiteral("/usr/share/applications/debian-xterm.desktop"), QStringLiteral("Russian"), false },
        };
    });
    rig.inputSources.add(QStringLiteral("us"), QStringLiteral("English (US)"));
    rig.inputSources.add(QStringLiteral("ru"), QStringLiteral("Russian"));
    FakeApplicationCatalog catalog;
    catalog.applications = shownApplications;
    rig.platform.applications = &catalog;
    rig.workspace.applications = { { 10, QStringLiteral("Gimp-2.10"), 1 } };
    const SettingsShot shot = shootSettingsPage(rig, SettingsPage::layout, QStringLiteral("layout"), language, dark);
    QVERIFY(!shot.image.isNull());
    QVERIFY(shot.colours() > 40);
    MainSettingsView& view = rig.makeView();

    auto* layoutPage = rig.shownPage<LayoutSettingsView>();
    QVERIFY(layoutPage);
    QImage chooser;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<ApplicationChooserDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->move(view.mapToGlobal(QPoint(230, 60)));
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QVERIFY(dialog->select(QStringLiteral("debian-xterm")));
        QTest::qWait(250);
        chooser = saveScreenArea(QRect(dialog->mapToGlobal(QPoint(0, 0)), dialog->size()),
            shotName(QStringLiteral("layout-chooser"), language, dark));
        dialog->reject();
    });
    layoutPage->addButton()->click();
    QVERIFY(!chooser.isNull());
    QVERIFY((SettingsShot { QString(), chooser }.colours() > 20));
}

QTEST_MAIN(TestLayoutSettingsDisplay)
#include "test_layout_settings_display.moc"
