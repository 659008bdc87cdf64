// The Layout page on the X session: "Detect system layouts" over the
// server's XKB groups, and the screenshots of the page and the chooser. (The
// rule a chosen application gets is followed end to end, in the real mendo.)

#include "settings/SettingsScreenshot.h"

#include "fakes/FakeApplicationCatalog.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/XkbInputSources.h"
#include "settings/ApplicationChooserDialog.h"
#include "settings/ApplicationIcons.h"
#include "settings/LayoutSettingsModel.h"
#include "settings/LayoutSettingsView.h"
#include "support/X11TestApps.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace mendo;
using namespace mendo::testing;

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
