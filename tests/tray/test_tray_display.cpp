// The real mendo under a real tray host (trayer): it docks its icon, any
// click opens the menu, the menu's items work, and the setting keeps it out.

#include <QDir>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <sys/prctl.h>

#include <csignal>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

// After Qt's headers: Xlib defines names they use.
#include "support/ProcessWindows.h"

using namespace mendo;

namespace {

Display* display()
{
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->display();
}

using testing::ShownWindow;

QList<ShownWindow> shownWindows(qint64 pid)
{
    return testing::shownWindows(display(), pid);
}

std::optional<QRect> dockedIcon(qint64 pid)
{
    return testing::dockedIcon(display(), pid);
}

std::optional<QRect> openMenu(qint64 pid)
{
    for (const ShownWindow& window : shownWindows(pid))
        if (window.popup && window.geometry.height() > 100)
            return window.geometry;
    return std::nullopt;
}

void runTool(const QString& program, const QStringList& arguments)
{
    QProcess::execute(program, arguments);
}

// A helper program, ended with the test at the latest.
class Helper {
public:
    Helper(const QString& program, const QStringList& arguments)
    {
        m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        m_process.start(program, arguments);
    }
    ~Helper()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

private:
    QProcess m_process;
};

bool trayHostIsUp()
{
    Display* d = display();
    const QByteArray name = "_NET_SYSTEM_TRAY_S" + QByteArray::number(DefaultScreen(d));
    return XGetSelectionOwner(d, XInternAtom(d, name.constData(), False)) != None;
}

// trayer along the top edge, tinted opaque in `tint`.
std::unique_ptr<Helper> startTrayer(const QString& tint)
{
    auto trayer = std::make_unique<Helper>(QStringLiteral("trayer"),
        QStringList { QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
            QStringLiteral("left"), QStringLiteral("--widthtype"), QStringLiteral("request"),
            QStringLiteral("--height"), QStringLiteral("28"), QStringLiteral("--transparent"), QStringLiteral("true"),
            QStringLiteral("--alpha"), QStringLiteral("0"), QStringLiteral("--tint"), tint });
    if (!QTest::qWaitFor(trayHostIsUp, 10000))
        return nullptr;
    return trayer;
}

void click(const QPoint& point, int button = 1)
{
    runTool(QStringLiteral("xdotool"),
        { QStringLiteral("mousemove"), QString::number(point.x()), QString::number(point.y()), QStringLiteral("click"),
            QString::number(button) });
}

void press(const QString& keys)
{
    runTool(QStringLiteral("xdotool"), QStringList { QStringLiteral("key") } + keys.split(QLatin1Char(' ')));
}

// The screen's `area`, saved as an artifact; null when it could not be.
QImage saveShot(const QRect& area, const QString& name)
{
    const QString dir = QStringLiteral(MENDO_ARTIFACT_DIR);
    QDir().mkpath(dir);
    const QImage shot
        = QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
    if (!shot.save(dir + QLatin1Char('/') + name))
        return {};
    return shot;
}

// How many pixels of `area` are near white and near black.
std::pair<int, int> lightAndDark(const QImage& image, const QRect& area)
{
    int light = 0;
    int dark = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const int lightness = image.pixelColor(x, y).lightness();
            light += lightness > 220;
            dark += lightness < 40;
        }
    return { light, dark };
}

// One mendo with its own configuration; ended with the test.
class Mendo {
public:
    // `settings` are user defaults stored besides the icon's switch.
    explicit Mendo(bool iconVisible, const QJsonObject& settings = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : { "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR" }) {
            const QString dir = m_dir.filePath(QString::fromLatin1(name).toLower());
            QDir().mkpath(dir);
            QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            environment.insert(QString::fromLatin1(name), dir);
        }
        QJsonObject defaults {
            { QStringLiteral("mendo.menuBarIconVisible"), iconVisible },
            { QStringLiteral("mendo.openMainWindowOnLaunch"), false },
            // Nobody listens here: no update check leaves the machine.
            { QStringLiteral("mendo.service.baseURL"), QStringLiteral("http://127.0.0.1:9") },
        };
        for (auto setting = settings.begin(); setting != settings.end(); ++setting)
            defaults.insert(setting.key(), setting.value());
        const QString config = m_dir.filePath(QStringLiteral("xdg_config_home/MendoAI"));
        QDir().mkpath(config);
        QFile file(config + QStringLiteral("/defaults.json"));
        if (file.open(QIODevice::WriteOnly))
            file.write(QJsonDocument(defaults).toJson());
        file.close();
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        m_process.start(QStringLiteral(MENDO_BINARY), {});
        m_process.waitForStarted(10000);
    }
    ~Mendo()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    qint64 pid() const { return m_process.processId(); }
    QProcess& process() { return m_process; }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
};

}  // namespace

class TestTrayDisplay : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void docksOpensTheMenuAndQuits()
    {
        auto trayer = startTrayer(QStringLiteral("0x26272b"));
        QVERIFY(trayer);
        Mendo mendo(true);
        QTRY_VERIFY_WITH_TIMEOUT(dockedIcon(mendo.pid()), 15000);
        const QRect icon = *dockedIcon(mendo.pid());
        QTest::qWait(300);  // painted
        const QImage shot
            = saveShot(QRect(0, 0, icon.left() + icon.right() + 1, 28), QStringLiteral("tray-icon-dark.png"));
        QVERIFY(!shot.isNull());
        // The letters and keys stand out light.
        QVERIFY(lightAndDark(shot, icon).first > 30);
        // Only the tray item: no window was asked for.
        QCOMPARE(shownWindows(mendo.pid()).size(), 1);

        // The left click opens the menu, as the right one does.
        click(icon.center());
        QTRY_VERIFY_WITH_TIMEOUT(openMenu(mendo.pid()), 5000);
        QTest::qWait(300);
        QVERIFY(!saveShot(*openMenu(mendo.pid()), QStringLiteral("tray-menu.png")).isNull());
        press(QStringLiteral("Escape"));
        QTRY_VERIFY_WITH_TIMEOUT(!openMenu(mendo.pid()), 5000);
        click(icon.center(), 3);
        QTRY_VERIFY_WITH_TIMEOUT(openMenu(mendo.pid()), 5000);

        // "Quit MendoAI" is the last item.
        press(QStringLiteral("Up Return"));
        QVERIFY(mendo.process().waitForFinished(10000));
        QCOMPARE(mendo.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(mendo.process().exitCode(), 0);
    }

    // In Russian under Noir Glass the menu is the same: its titles are English
    // in both languages, and it takes the desktop's colours, not MendoAI's.
    void menuInRussianUnderNoirGlass()
    {
        auto trayer = startTrayer(QStringLiteral("0x26272b"));
        QVERIFY(trayer);
        Mendo mendo(true,
            { { QStringLiteral("mendo.uiLanguage"), QStringLiteral("ru") },
                { QStringLiteral("mendo.theme"), QStringLiteral("liquid-noir") } });
        QTRY_VERIFY_WITH_TIMEOUT(dockedIcon(mendo.pid()), 15000);
        click(dockedIcon(mendo.pid())->center());
        QTRY_VERIFY_WITH_TIMEOUT(openMenu(mendo.pid()), 5000);
        QTest::qWait(300);
        QVERIFY(!saveShot(*openMenu(mendo.pid()), QStringLiteral("tray-menu-ru-dark.png")).isNull());
        press(QStringLiteral("Escape"));
        QTRY_VERIFY_WITH_TIMEOUT(!openMenu(mendo.pid()), 5000);
    }

    // "Quick Menu" opens the quick panel next to the pointer. Opening the tray
    // menu again is a click into another of MendoAI's windows, which puts the
    // panel away before the item is chosen; "Quick Menu" then shows it anew.
    void quickMenuItemTogglesTheQuickPanel()
    {
        auto trayer = startTrayer(QStringLiteral("0x26272b"));
        QVERIFY(trayer);
        Mendo mendo(true);
        QTRY_VERIFY_WITH_TIMEOUT(dockedIcon(mendo.pid()), 15000);
        const QRect icon = *dockedIcon(mendo.pid());
        const auto quickPanel = [&]() -> std::optional<QRect> {
            for (const ShownWindow& window : shownWindows(mendo.pid()))
                // Framed by the window manager: not a child of the root either.
                if (!window.popup && window.geometry.width() >= 300
                    && window.geometry.height() >= 260)
                    return window.geometry;
            return std::nullopt;
        };

        click(icon.center());
        QTRY_VERIFY_WITH_TIMEOUT(openMenu(mendo.pid()), 5000);
        press(QStringLiteral("Down Down Return"));  // the second item
        const auto shown = [&] {
            QStringList all;
            for (const ShownWindow& window : shownWindows(mendo.pid()))
                all << QStringLiteral("%1,%2 %3x%4%5%6")
                           .arg(window.geometry.x())
                           .arg(window.geometry.y())
                           .arg(window.geometry.width())
                           .arg(window.geometry.height())
                           .arg(window.docked ? " docked" : "", window.popup ? " popup" : "");
            return all.join(QStringLiteral("; "));
        };
        QTRY_VERIFY2_WITH_TIMEOUT(quickPanel(), qPrintable(shown()), 5000);
        QVERIFY(!openMenu(mendo.pid()));

        click(icon.center());
        QTRY_VERIFY_WITH_TIMEOUT(!quickPanel(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(openMenu(mendo.pid()), 5000);
        press(QStringLiteral("Down Down Return"));
        QTRY_VERIFY_WITH_TIMEOUT(quickPanel(), 5000);
        // Escape reaches no MendoAI window here; a click on the desktop does.
        click(QPoint(1500, 900));
        QTRY_VERIFY_WITH_TIMEOUT(!quickPanel(), 5000);
    }

    void readableOnALightPanel()
    {
        auto trayer = startTrayer(QStringLiteral("0xe9e9ec"));
        QVERIFY(trayer);
        Mendo mendo(true);
        QTRY_VERIFY_WITH_TIMEOUT(dockedIcon(mendo.pid()), 15000);
        const QRect icon = *dockedIcon(mendo.pid());
        QTest::qWait(300);
        const QImage shot
            = saveShot(QRect(0, 0, icon.left() + icon.right() + 1, 28), QStringLiteral("tray-icon-light.png"));
        QVERIFY(!shot.isNull());
        // The light shapes keep their dark rim against the light panel.
        const auto [light, dark] = lightAndDark(shot, icon);
        QVERIFY2(light > 30 && dark > 30, qPrintable(QStringLiteral("%1 light, %2 dark").arg(light).arg(dark)));
    }

    // Switched off in the settings, nothing docks and the main window shows
    // instead.
    void hiddenIconDocksNothing()
    {
        auto trayer = startTrayer(QStringLiteral("0x26272b"));
        QVERIFY(trayer);
        Mendo mendo(false);
        QTRY_VERIFY_WITH_TIMEOUT(!shownWindows(mendo.pid()).isEmpty(), 15000);
        QTest::qWait(500);
        QVERIFY(!dockedIcon(mendo.pid()));
    }
};

QTEST_MAIN(TestTrayDisplay)
#include "test_tray_display.moc"
