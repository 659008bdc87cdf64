#include "e2e/MendoSession.h"

#include "platform/x11/X11Errors.h"
#include "platform/x11/XkbInputSources.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTcpServer>

#include <sys/prctl.h>

#include <csignal>
#include <ctime>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <X11/keysym.h>

// After Qt's headers: Xlib defines names they use.
#include "support/ProcessWindows.h"

namespace mendo::e2e {

namespace {

constexpr int kStartTimeoutMs = 20000;

QString runText(const QString& program, const QStringList& arguments)
{
    return QString::fromUtf8(testing::runTool(program, arguments));
}

// A test that is killed (by its timeout, say) takes mendo and the service
// along instead of leaving them running.
void endWithTheTest(QProcess& process)
{
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

// Whether mendo shows a window yet.
bool mendoWindowIsUp(qint64 pid)
{
    return !runText(QStringLiteral("xdotool"),
        { QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"), QString::number(pid) })
                .trimmed()
                .isEmpty();
}

// Whether another client holds Alt+4 on the root window: our own grab of it
// is then refused.
bool altFourIsTaken()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    const KeyCode key = XKeysymToKeycode(display, XK_4);
    bool taken = false;
    {
        mendo::x11::X11ErrorTrap trap(display);
        XGrabKey(display, key, Mod1Mask, DefaultRootWindow(display), False, GrabModeAsync, GrabModeAsync);
        trap.sync();
        taken = trap.hasError(BadAccess);
        if (!taken) {
            XUngrabKey(display, key, Mod1Mask, DefaultRootWindow(display));
            trap.sync();
        }
    }
    XCloseDisplay(display);
    return taken;
}

}  // namespace

ClipboardOwnerChanges::ClipboardOwnerChanges()
{
    Display* display = XOpenDisplay(nullptr);
    int errorBase = 0;
    if (!display || !XFixesQueryExtension(display, &m_eventBase, &errorBase))
        return;
    XFixesSelectSelectionInput(display, DefaultRootWindow(display), XInternAtom(display, "CLIPBOARD", False),
        XFixesSetSelectionOwnerNotifyMask);
    XSync(display, False);
    m_display = display;
}

ClipboardOwnerChanges::~ClipboardOwnerChanges()
{
    if (m_display)
        XCloseDisplay(static_cast<Display*>(m_display));
}

int ClipboardOwnerChanges::count()
{
    auto* display = static_cast<Display*>(m_display);
    if (!display)
        return m_count;
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == m_eventBase + XFixesSelectionNotify)
            ++m_count;
    }
    return m_count;
}

MendoSession::MendoSession(Options options)
    : m_options(std::move(options))
{
    const QString query = runText(QStringLiteral("setxkbmap"), { QStringLiteral("-query") });
    for (const QString& line : query.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("layout:")))
            m_previousLayout = line.mid(7).trimmed().toUtf8();
    }
    QProcess::execute(QStringLiteral("setxkbmap"), { QStringLiteral("-layout"), QStringLiteral("us,ru") });
    // setxkbmap keeps the locked group: a test before this one (or an earlier
    // run in the same X session) may have left Russian selected.
    x11::X11Connection connection;
    XkbInputSources sources(connection);
    const auto all = sources.sources();
    if (!all.isEmpty())
        sources.select(all.first());
    endWithTheTest(m_mendo);
    endWithTheTest(m_service);
}

MendoSession::~MendoSession()
{
    stop(m_mendo);
    stop(m_service);
    QProcess::execute(QStringLiteral("setxkbmap"),
        { QStringLiteral("-layout"), m_previousLayout.isEmpty() ? QStringLiteral("us") : QString::fromUtf8(m_previousLayout) });
}

void MendoSession::stop(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

bool MendoSession::start()
{
    if (!m_dir.isValid()) {
        m_failure = QStringLiteral("no temporary directory");
        return false;
    }
    QString baseURL;
    if (!startService(&baseURL) || !writeDefaults(baseURL) || !writeHistory())
        return false;
    return startMendo();
}

bool MendoSession::restartMendo(const QJsonObject& moreDefaults)
{
    stop(m_mendo);
    m_mendoOutput.clear();
    if (!moreDefaults.isEmpty()) {
        // Written once mendo is gone: a running one would write its own
        // values back over them.
        QJsonObject defaults = storedDefaults();
        for (auto it = moreDefaults.begin(); it != moreDefaults.end(); ++it)
            defaults.insert(it.key(), it.value());
        if (!writeDefaultsFile(defaults))
            return false;
    }
    return startMendo();
}

bool MendoSession::startMendo()
{
    // Configuration, data and the single-instance socket all in the test's
    // own directory: no other mendo and no user file is touched.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : { "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME", "XDG_RUNTIME_DIR" }) {
        const QString dir = m_dir.filePath(QString::fromLatin1(name).toLower());
        QDir().mkpath(dir);
        QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        environment.insert(QString::fromLatin1(name), dir);
    }
    environment.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
    if (m_options.traceStartup)
        environment.insert(QStringLiteral("MENDO_STARTUP_TRACE"), QStringLiteral("1"));
    m_mendo.setProcessEnvironment(environment);
    m_mendo.setProcessChannelMode(QProcess::MergedChannels);
    QElapsedTimer launch;
    launch.start();
    timespec launchTime {};
    clock_gettime(CLOCK_MONOTONIC, &launchTime);
    m_mendo.start(m_options.program.isEmpty() ? QStringLiteral(MENDO_BINARY) : m_options.program, {});
    if (!m_mendo.waitForStarted(kStartTimeoutMs)) {
        m_failure = QStringLiteral("mendo did not start: ") + m_mendo.errorString();
        return false;
    }
    if (m_options.traceStartup)
        return waitForStartupTrace(qint64(launchTime.tv_sec) * 1000000000LL + launchTime.tv_nsec);
    if (!waitForHotkeys())
        return false;
    m_startupMs = launch.elapsed();
    return true;
}

bool MendoSession::startService(QString* baseURL)
{
    if (m_options.serviceDown) {
        // A port that was free a moment ago and has nobody listening now.
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost)) {
            m_failure = QStringLiteral("no free port");
            return false;
        }
        *baseURL = QStringLiteral("http://127.0.0.1:%1").arg(probe.serverPort());
        return true;
    }
    QFile script(m_dir.filePath(QStringLiteral("script.json")));
    const QJsonObject scriptObject{ { QStringLiteral("answers"), m_options.answers } };
    if (!script.open(QIODevice::WriteOnly) || script.write(QJsonDocument(scriptObject).toJson()) < 0) {
        m_failure = QStringLiteral("cannot write the service script");
        return false;
    }
    script.close();
    m_service.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_service.start(QStringLiteral(MENDO_MOCK_SERVICE),
        { QStringLiteral("--script"), script.fileName(), QStringLiteral("--record"),
            m_dir.filePath(QStringLiteral("requests.jsonl")) });
    QByteArray line;
    QDeadlineTimer deadline(kStartTimeoutMs);
    while (!line.endsWith('\n') && !deadline.hasExpired() && m_service.state() != QProcess::NotRunning) {
        m_service.waitForReadyRead(100);
        line += m_service.readAllStandardOutput();
    }
    if (!line.startsWith("port ")) {
        m_failure = QStringLiteral("the mock service did not start: ") + QString::fromUtf8(line);
        return false;
    }
    *baseURL = QStringLiteral("http://127.0.0.1:%1").arg(line.mid(5).trimmed().toInt());
    return true;
}

bool MendoSession::writeDefaults(const QString& baseURL)
{
    QJsonObject defaults = m_options.defaults;
    defaults.insert(QStringLiteral("mendo.service.baseURL"), baseURL);
    defaults.insert(QStringLiteral("mendo.account.accessToken"), accessToken);
    defaults.insert(QStringLiteral("mendo.account.deviceId"), deviceId);
    return writeDefaultsFile(defaults);
}

bool MendoSession::writeDefaultsFile(const QJsonObject& defaults)
{
    QFile file(defaultsFile());
    if (!QDir().mkpath(QFileInfo(file).path()) || !file.open(QIODevice::WriteOnly)
        || file.write(QJsonDocument(defaults).toJson()) < 0) {
        m_failure = QStringLiteral("cannot write the user defaults");
        return false;
    }
    return true;
}

bool MendoSession::writeHistory()
{
    if (m_options.clipboardHistory.isEmpty())
        return true;
    // The folder and the file as mendo makes them: it refuses a folder open
    // to others.
    const QString dir = dataHome() + QStringLiteral("/MendoAI");
    QFile file(dir + QStringLiteral("/clipboard-history.json"));
    if (!QDir().mkpath(dir)
        || !QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner)
        || !file.open(QIODevice::WriteOnly) || file.write(m_options.clipboardHistory) < 0
        || !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        m_failure = QStringLiteral("cannot write the clipboard history");
        return false;
    }
    return true;
}

QStringList MendoSession::storedHistory() const
{
    QFile file(dataHome() + QStringLiteral("/MendoAI/clipboard-history.json"));
    const QByteArray data = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    QStringList texts;
    for (const QJsonValue& item : QJsonDocument::fromJson(data).array())
        texts << item[QStringLiteral("text")].toString();
    return texts;
}

QJsonObject MendoSession::storedDefaults() const
{
    QFile file(defaultsFile());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

bool MendoSession::waitForStartupTrace(qint64 launchNs)
{
    m_startupSteps.clear();
    m_startupMs = -1;
    QDeadlineTimer deadline(kStartTimeoutMs);
    // The output is read here directly: it arrives in the pipe as mendo
    // writes it, and the marks carry their own times.
    // A settings window shown at start marks its first frame after the
    // event loop runs.
    const auto complete = [this] {
        return m_mendoOutput.contains("mendo start-up: event loop")
            && (!m_mendoOutput.contains("mendo start-up: settings window shown")
                || m_mendoOutput.contains("mendo start-up: settings window drawn"));
    };
    while (!complete() && !deadline.hasExpired()) {
        if (m_mendo.state() == QProcess::NotRunning) {
            m_failure = QStringLiteral("mendo ended at start: ") + QString::fromUtf8(mendoOutput());
            return false;
        }
        m_mendo.waitForReadyRead(20);
        m_mendoOutput += m_mendo.readAll();
    }
    for (const QByteArray& line : m_mendoOutput.split('\n')) {
        if (!line.startsWith("mendo start-up: "))
            continue;
        const QByteArray rest = line.mid(16);
        const qsizetype space = rest.lastIndexOf(' ');
        m_startupSteps.append({ QString::fromUtf8(rest.left(space)), rest.mid(space + 1).toLongLong() - launchNs });
        if (rest.startsWith("hotkeys held "))
            m_startupMs = m_startupSteps.last().second / 1000000;
    }
    if (m_startupMs < 0) {
        m_failure = QStringLiteral("mendo never marked its hotkeys held: ") + QString::fromUtf8(mendoOutput());
        return false;
    }
    return true;
}

bool MendoSession::waitForHotkeys()
{
    QDeadlineTimer deadline(kStartTimeoutMs);
    while (!deadline.hasExpired()) {
        if (m_mendo.state() == QProcess::NotRunning) {
            m_failure = QStringLiteral("mendo ended at start: ") + QString::fromUtf8(mendoOutput());
            return false;
        }
        // Probing Alt+4 grabs it for a moment, and a probe that coincides with
        // mendo's own grab would make that grab fail. mendo registers its
        // hotkeys before it shows its window (always shown here, as there is
        // no tray), so the probe only confirms once the window is up.
        if (mendoWindowIsUp(m_mendo.processId()) && altFourIsTaken())
            return true;
        QTest::qWait(50);
    }
    m_failure = QStringLiteral("mendo never took its hotkeys: ") + QString::fromUtf8(mendoOutput());
    return false;
}

std::unique_ptr<testing::OtherApp> MendoSession::startInFront(const QString& program, const QStringList& arguments)
{
    auto app = std::make_unique<testing::OtherApp>(program, arguments);
    if (!testing::waitUntilFrontmost(m_workspace, app->pid()))
        return nullptr;
    // The activation notice has to reach mendo too; it is read there as
    // soon as it is here.
    QTest::qWait(200);
    return app;
}

bool MendoSession::bringToFront(const testing::OtherApp& app)
{
    for (const RunningApplication& running : m_workspace.runningApplications()) {
        if (running.processIdentifier == app.pid())
            return m_workspace.activate(running) && testing::waitUntilFrontmost(m_workspace, app.pid());
    }
    return false;
}

std::unique_ptr<testing::OtherApp> MendoSession::userCopies(const QList<QPair<QString, QByteArray>>& formats)
{
    return testing::offerClipboard(m_dir.path(), formats);
}

void MendoSession::press(const QString& keys)
{
    testing::runTool(QStringLiteral("xdotool"), { QStringLiteral("key"), QStringLiteral("--clearmodifiers"), keys });
}

void MendoSession::hold(const QString& keys, int ms)
{
    testing::runTool(QStringLiteral("xdotool"),
        { QStringLiteral("keydown"), keys, QStringLiteral("sleep"), QString::number(ms / 1000.0), QStringLiteral("keyup"),
            keys });
}

bool MendoSession::chordIsTaken(unsigned long keysym, unsigned int modifiers)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    const KeyCode key = XKeysymToKeycode(display, keysym);
    bool taken = false;
    {
        x11::X11ErrorTrap trap(display);
        XGrabKey(display, key, modifiers, DefaultRootWindow(display), False, GrabModeAsync, GrabModeAsync);
        trap.sync();
        taken = trap.hasError(BadAccess);
        if (!taken) {
            XUngrabKey(display, key, modifiers, DefaultRootWindow(display));
            trap.sync();
        }
    }
    XCloseDisplay(display);
    return taken;
}

ClipboardContents MendoSession::clipboard(const QStringList& types)
{
    const QStringList read{ QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-o"),
        QStringLiteral("-t") };
    ClipboardContents contents;
    contents.targets = testing::runTool(QStringLiteral("xclip"), read + QStringList{ QStringLiteral("TARGETS") });
    for (const QString& type : types)
        contents.formats.append({ type, testing::runTool(QStringLiteral("xclip"), read + QStringList{ type }) });
    return contents;
}

QList<QJsonObject> MendoSession::requests(const QString& path) const
{
    QList<QJsonObject> result;
    QFile file(m_dir.filePath(QStringLiteral("requests.jsonl")));
    if (!file.open(QIODevice::ReadOnly))
        return result;
    for (const QByteArray& line : file.readAll().split('\n')) {
        QJsonObject request = QJsonDocument::fromJson(line).object();
        if (request.isEmpty() || request.value(QStringLiteral("path")).toString().section(u'?', 0, 0) != path)
            continue;
        request.insert(QStringLiteral("body"),
            QJsonDocument::fromJson(request.value(QStringLiteral("body")).toString().toUtf8()).object());
        result.append(request);
    }
    return result;
}

QString MendoSession::currentLayoutName()
{
    x11::X11Connection connection;
    XkbInputSources sources(connection);
    const auto current = sources.current();
    return current ? current->name : QString();
}

bool clipboardIsUsers()
{
    QStringList types;
    for (const auto& format : usersClipboard)
        types.append(format.first);
    return MendoSession::clipboard(types).formats == usersClipboard;
}

std::optional<int> MendoSession::waitForMendoExit(int timeoutMs)
{
    if (!QTest::qWaitFor([&] { return m_mendo.state() == QProcess::NotRunning; }, timeoutMs))
        return std::nullopt;
    if (m_mendo.exitStatus() != QProcess::NormalExit)
        return std::nullopt;
    return m_mendo.exitCode();
}

QByteArray MendoSession::mendoOutput()
{
    m_mendoOutput += m_mendo.readAllStandardOutput();
    return m_mendoOutput;
}

QStringList MendoSession::visibleWindowTitles() const
{
    QStringList titles;
    const QString ids = runText(QStringLiteral("xdotool"),
        { QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
            QString::number(m_mendo.processId()) });
    for (const QString& id : ids.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        titles.append(runText(QStringLiteral("xdotool"), { QStringLiteral("getwindowname"), id }).trimmed());
    return titles;
}

bool MendoSession::launchAgain()
{
    QProcess second;
    second.setProcessEnvironment(m_mendo.processEnvironment());
    second.start(m_mendo.program(), {});
    return second.waitForFinished(kStartTimeoutMs) && second.exitStatus() == QProcess::NormalExit
        && second.exitCode() == 0;
}

quint64 MendoSession::visibleWindow(const QString& title, int minimumWidth) const
{
    const QString ids = runText(QStringLiteral("xdotool"),
        { QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
            QString::number(m_mendo.processId()) });
    for (const QString& id : ids.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (runText(QStringLiteral("xdotool"), { QStringLiteral("getwindowname"), id }).trimmed() != title)
            continue;
        const QString geometry
            = runText(QStringLiteral("xdotool"), { QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), id });
        const QString width = geometry.section(QStringLiteral("WIDTH="), 1).section(QLatin1Char('\n'), 0, 0);
        if (width.toInt() >= minimumWidth)
            return id.toULongLong();
    }
    return 0;
}

namespace {

AccessibleElement findShowing(AtspiAccessible* node, const QByteArray& name, AtspiRole role, int depth)
{
    AccessibleElement found;
    if (!node || depth > 40)
        return found;
    gchar* nodeName = atspi_accessible_get_name(node, nullptr);
    const bool named = nodeName && name == nodeName;
    g_free(nodeName);
    if (named && (role == ATSPI_ROLE_INVALID || atspi_accessible_get_role(node, nullptr) == role)) {
        AtspiStateSet* states = atspi_accessible_get_state_set(node);
        const bool showing = states && atspi_state_set_contains(states, ATSPI_STATE_SHOWING);
        found.enabled = states && atspi_state_set_contains(states, ATSPI_STATE_ENABLED);
        if (states)
            g_object_unref(states);
        AtspiComponent* component = atspi_accessible_get_component_iface(node);
        if (showing && component) {
            if (AtspiRect* extents = atspi_component_get_extents(component, ATSPI_COORD_TYPE_SCREEN, nullptr)) {
                found.rect = QRect(extents->x, extents->y, extents->width, extents->height);
                g_free(extents);
            }
        }
        if (component)
            g_object_unref(component);
        if (found.shown())
            return found;
    }
    found = {};
    const int count = atspi_accessible_get_child_count(node, nullptr);
    for (int i = 0; i < count && !found.shown(); ++i) {
        AtspiAccessible* child = atspi_accessible_get_child_at_index(node, i, nullptr);
        found = findShowing(child, name, role, depth + 1);
        if (child)
            g_object_unref(child);
    }
    return found;
}


}  // namespace

AccessibleElement accessibleElement(qint64 pid, const QString& name, AtspiRole role)
{
    atspi_init();
    AtspiAccessible* desktop = atspi_get_desktop(0);
    AccessibleElement found;
    const int count = atspi_accessible_get_child_count(desktop, nullptr);
    for (int i = 0; i < count && !found.shown(); ++i) {
        AtspiAccessible* app = atspi_accessible_get_child_at_index(desktop, i, nullptr);
        if (app && atspi_accessible_get_process_id(app, nullptr) == guint(pid)) {
            atspi_accessible_clear_cache(app);
            found = findShowing(app, name.toUtf8(), role, 0);
        }
        if (app)
            g_object_unref(app);
    }
    g_object_unref(desktop);
    return found;
}

QRect accessibleRect(qint64 pid, const QString& name, AtspiRole role)
{
    return accessibleElement(pid, name, role).rect;
}

bool clickAccessible(qint64 pid, const QString& name, AtspiRole role, int timeoutMs)
{
    AccessibleElement element;
    // A button still disabled (an answer not yet in) would take the click
    // and do nothing.
    if (!QTest::qWaitFor(
            [&] {
                element = accessibleElement(pid, name, role);
                return element.shown() && element.enabled;
            },
            timeoutMs))
        return false;
    testing::clickAt(element.rect.center());
    return true;
}

std::unique_ptr<testing::OtherApp> startTrayer(const QString& tint)
{
    auto trayer = std::make_unique<testing::OtherApp>(QStringLiteral("trayer"),
        QStringList { QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
            QStringLiteral("left"), QStringLiteral("--widthtype"), QStringLiteral("request"),
            QStringLiteral("--height"), QStringLiteral("28"), QStringLiteral("--transparent"), QStringLiteral("true"),
            QStringLiteral("--alpha"), QStringLiteral("0"), QStringLiteral("--tint"), tint });
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return nullptr;
    const QByteArray name = "_NET_SYSTEM_TRAY_S" + QByteArray::number(DefaultScreen(d));
    const Atom selection = XInternAtom(d, name.constData(), False);
    const bool up = QTest::qWaitFor([&] { return XGetSelectionOwner(d, selection) != None; }, 10000);
    XCloseDisplay(d);
    if (!up)
        return nullptr;
    return trayer;
}

std::optional<QRect> trayIcon(qint64 pid)
{
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return std::nullopt;
    const std::optional<QRect> icon = testing::dockedIcon(d, pid);
    XCloseDisplay(d);
    return icon;
}

QRect windowGeometry(quint64 window)
{
    return testing::xdotoolGeometry(
        { QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), QString::number(window) });
}

bool trayIconShown(qint64 pid)
{
    return trayIcon(pid).has_value();
}

void closeWindow(quint64 window)
{
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return;
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = Window(window);
    event.xclient.message_type = XInternAtom(d, "_NET_CLOSE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = CurrentTime;
    event.xclient.data.l[1] = 2;  // from a pager or similar tool
    XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(d);
    XCloseDisplay(d);
}

}  // namespace mendo::e2e
