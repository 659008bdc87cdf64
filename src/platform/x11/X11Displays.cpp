#include "platform/x11/X11Displays.h"

#include "platform/x11/X11Errors.h"

#include <QRect>
#include <algorithm>
#include <vector>
#include <cmath>
#include <memory>

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

namespace mendo {

namespace {

struct FreeResources {
    void operator()(XRRScreenResources* r) const { XRRFreeScreenResources(r); }
};
struct FreeOutput {
    void operator()(XRROutputInfo* o) const { XRRFreeOutputInfo(o); }
};
struct FreeCrtc {
    void operator()(XRRCrtcInfo* c) const { XRRFreeCrtcInfo(c); }
};
using Resources = std::unique_ptr<XRRScreenResources, FreeResources>;
using OutputInfo = std::unique_ptr<XRROutputInfo, FreeOutput>;
using CrtcInfo = std::unique_ptr<XRRCrtcInfo, FreeCrtc>;

// Keeps every other client's requests out while the displays change, so no
// one sees (or acts on) a half-done reconfiguration.
class ServerGrab {
public:
    explicit ServerGrab(Display* display)
        : m_display(display)
    {
        XGrabServer(m_display);
    }
    ~ServerGrab()
    {
        XUngrabServer(m_display);
        XFlush(m_display);
    }
    ServerGrab(const ServerGrab&) = delete;
    ServerGrab& operator=(const ServerGrab&) = delete;

private:
    Display* m_display;
};

OutputInfo outputInfo(Display* display, XRRScreenResources* resources, RROutput output, int* errorCode = nullptr)
{
    x11::X11ErrorTrap trap(display);
    OutputInfo info(XRRGetOutputInfo(display, resources, output));
    if (trap.failed() || !info) {
        if (errorCode)
            *errorCode = trap.failed() ? trap.errors().front().errorCode : BadValue;
        return {};
    }
    return info;
}

CrtcInfo crtcInfo(Display* display, XRRScreenResources* resources, RRCrtc crtc)
{
    x11::X11ErrorTrap trap(display);
    CrtcInfo info(XRRGetCrtcInfo(display, resources, crtc));
    if (trap.failed())
        return {};
    return info;
}

QRect crtcRect(const XRRCrtcInfo& crtc)
{
    return QRect(crtc.x, crtc.y, int(crtc.width), int(crtc.height));
}

bool showing(const XRROutputInfo& info)
{
    return info.connection == RR_Connected && info.crtc != 0;
}

// The far right and bottom edges of every CRTC that shows something, leaving
// out `leaving`.
QSize occupied(Display* display, XRRScreenResources* resources, RRCrtc leaving)
{
    int right = 0;
    int bottom = 0;
    for (int i = 0; i < resources->ncrtc; ++i) {
        if (resources->crtcs[i] == leaving)
            continue;
        const CrtcInfo crtc = crtcInfo(display, resources, resources->crtcs[i]);
        if (!crtc || crtc->mode == None)
            continue;
        right = std::max(right, crtc->x + int(crtc->width));
        bottom = std::max(bottom, crtc->y + int(crtc->height));
    }
    return { right, bottom };
}

// The screen from its origin to the far edges of the CRTCs that show
// something (less `leaving`, plus `joining`), within the server's size range.
QSize screenSizeFor(Display* display, Window root, XRRScreenResources* resources, RRCrtc leaving,
    const QRect& joining = {})
{
    QSize size = occupied(display, resources, leaving);
    if (!joining.isEmpty())
        size = size.expandedTo(QSize(joining.x() + joining.width(), joining.y() + joining.height()));
    int minWidth = 0, minHeight = 0, maxWidth = 0, maxHeight = 0;
    if (XRRGetScreenSizeRange(display, root, &minWidth, &minHeight, &maxWidth, &maxHeight))
        size = size.expandedTo(QSize(minWidth, minHeight));
    return size;
}

// The screen's size as the server has it now: Xlib's own record changes only
// with the screen-change events a client passes it, which this connection
// does not ask for.
QSize currentScreenSize(Display* display, Window root)
{
    Window rootReturn = 0;
    int x = 0, y = 0;
    unsigned int width = 0, height = 0, border = 0, depth = 0;
    if (!XGetGeometry(display, root, &rootReturn, &x, &y, &width, &height, &border, &depth))
        return { DisplayWidth(display, DefaultScreen(display)), DisplayHeight(display, DefaultScreen(display)) };
    return { int(width), int(height) };
}

// Changes the screen's size keeping its pixel density. Returns the X error
// code, 0 when it worked.
int resizeScreen(Display* display, Window root, QSize size)
{
    const int screen = DefaultScreen(display);
    if (size == currentScreenSize(display, root))
        return 0;
    // Xlib's record may be old, but its density is the one the server keeps.
    const int width = DisplayWidth(display, screen);
    const int height = DisplayHeight(display, screen);
    const double mmPerPixelX = DisplayWidthMM(display, screen) > 0 ? double(DisplayWidthMM(display, screen)) / width
                                                                    : 25.4 / 96;
    const double mmPerPixelY = DisplayHeightMM(display, screen) > 0
        ? double(DisplayHeightMM(display, screen)) / height
        : 25.4 / 96;
    x11::X11ErrorTrap trap(display);
    XRRSetScreenSize(display, root, size.width(), size.height(), int(std::lround(size.width() * mmPerPixelX)),
        int(std::lround(size.height() * mmPerPixelY)));
    if (trap.sync())
        return trap.errors().front().errorCode;
    return 0;
}

// Sets a CRTC; returns the RandR status or X error code, 0 when it worked.
int configureCrtc(Display* display, XRRScreenResources* resources, RRCrtc crtc, int x, int y, RRMode mode,
    Rotation rotation, QList<RROutput> outputs)
{
    x11::X11ErrorTrap trap(display);
    const Status status = XRRSetCrtcConfig(display, resources, crtc, CurrentTime, x, y, mode, rotation,
        outputs.isEmpty() ? nullptr : outputs.data(), int(outputs.size()));
    if (trap.sync())
        return trap.errors().front().errorCode;
    return status == RRSetConfigSuccess ? 0 : int(status);
}

const XRRModeInfo* modeInfo(XRRScreenResources* resources, RRMode mode)
{
    for (int i = 0; i < resources->nmode; ++i)
        if (resources->modes[i].id == mode)
            return &resources->modes[i];
    return nullptr;
}

}  // namespace

X11Displays::X11Displays(x11::X11Connection& connection, QStringList builtInPrefixes, QObject* parent)
    : Displays(parent)
    , m_connection(connection)
    , m_builtInPrefixes(std::move(builtInPrefixes))
{
    Display* display = m_connection.display();
    if (!display || !XRRQueryExtension(display, &m_eventBase, &m_errorBase))
        return;
    int major = 0, minor = 0;
    if (!XRRQueryVersion(display, &major, &minor))
        return;
    m_configureEnabled = major > 1 || (major == 1 && minor >= 2);
    m_hasPrimary = major > 1 || (major == 1 && minor >= 3);
}

X11Displays::~X11Displays()
{
    if (m_eventHandler)
        m_connection.removeEventHandler(m_eventHandler);
}

namespace {

Resources screenResources(Display* display, Window root, bool current)
{
    x11::X11ErrorTrap trap(display);
    // The current configuration, without making the server probe the
    // hardware (which can stall the screen for a moment).
    Resources resources(current ? XRRGetScreenResourcesCurrent(display, root) : XRRGetScreenResources(display, root));
    if (trap.failed())
        return {};
    return resources;
}

// One output as the current configuration has it, with the configuration it
// was read from (which later requests about it need).
struct OutputQuery {
    Resources resources;
    OutputInfo info;
    // The X error of a failed read of the output.
    int error = 0;
    explicit operator bool() const { return info != nullptr; }
};

OutputQuery queryOutput(Display* display, Window root, bool current, DisplayId id)
{
    OutputQuery query;
    query.resources = screenResources(display, root, current);
    if (query.resources)
        query.info = outputInfo(display, query.resources.get(), id, &query.error);
    return query;
}

}  // namespace

QList<DisplayId> X11Displays::activeDisplays()
{
    QList<DisplayId> active;
    if (!m_configureEnabled)
        return active;
    Display* display = m_connection.display();
    const Resources resources = screenResources(display, m_connection.rootWindow(), m_hasPrimary);
    for (int i = 0; resources && i < resources->noutput; ++i) {
        const OutputInfo info = outputInfo(display, resources.get(), resources->outputs[i]);
        if (info && showing(*info))
            active << DisplayId(resources->outputs[i]);
    }
    return active;
}

bool X11Displays::isBuiltin(DisplayId id)
{
    if (!m_configureEnabled)
        return false;
    const OutputQuery output = queryOutput(m_connection.display(), m_connection.rootWindow(), m_hasPrimary, id);
    if (!output)
        return false;
    return isBuiltInName(*output.info);
}

bool X11Displays::isBuiltInName(const XRROutputInfo& info) const
{
    const QString name = QString::fromUtf8(info.name, info.nameLen);
    return std::any_of(m_builtInPrefixes.cbegin(), m_builtInPrefixes.cend(),
        [&name](const QString& prefix) { return name.startsWith(prefix); });
}

bool X11Displays::isOnline(DisplayId id)
{
    if (!m_configureEnabled)
        return false;
    const OutputQuery output = queryOutput(m_connection.display(), m_connection.rootWindow(), m_hasPrimary, id);
    return output && output.info->connection == RR_Connected;
}

bool X11Displays::isInMirrorSet(DisplayId id)
{
    if (!m_configureEnabled)
        return false;
    Display* display = m_connection.display();
    const OutputQuery output = queryOutput(display, m_connection.rootWindow(), m_hasPrimary, id);
    if (!output || !showing(*output.info))
        return false;
    XRRScreenResources* resources = output.resources.get();
    const CrtcInfo crtc = crtcInfo(display, resources, output.info->crtc);
    if (!crtc)
        return false;
    if (crtc->noutput > 1)
        return true;
    const QRect shown = crtcRect(*crtc);
    for (int i = 0; i < resources->noutput; ++i) {
        if (DisplayId(resources->outputs[i]) == id)
            continue;
        const OutputInfo other = outputInfo(display, resources, resources->outputs[i]);
        if (!other || !showing(*other))
            continue;
        const CrtcInfo otherCrtc = crtcInfo(display, resources, other->crtc);
        if (otherCrtc && crtcRect(*otherCrtc) == shown)
            return true;
    }
    return false;
}

DisplaySwitchResult X11Displays::setEnabled(DisplayId display, bool enabled)
{
    if (!m_configureEnabled)
        return { DisplaySwitchResult::Step::unavailable, 0 };
    DisplaySwitchResult result;
    {
        ServerGrab grab(m_connection.display());
        const OutputQuery output
            = queryOutput(m_connection.display(), m_connection.rootWindow(), m_hasPrimary, display);
        if (!output.resources)
            result = { DisplaySwitchResult::Step::unavailable, 0 };
        else if (!output)
            result = { DisplaySwitchResult::Step::configure, output.error };
        else if (enabled)
            result = switchOn(display, output.resources.get(), *output.info);
        else
            result = switchOff(display, output.resources.get(), *output.info);
    }
    // The notices of this switch are read later; its outputs count from now
    // on (and those notices then find nothing new).
    if (m_eventHandler)
        m_seen = snapshot();
    // The grab's round trips may have read our own notices into Xlib's queue.
    m_connection.drainEventsLater();
    return result;
}

DisplaySwitchResult X11Displays::switchOff(DisplayId id, XRRScreenResources* resources, const XRROutputInfo& info)
{
    using Step = DisplaySwitchResult::Step;
    Display* display = m_connection.display();
    const Window root = m_connection.rootWindow();
    if (info.crtc == 0)
        return {};
    const CrtcInfo crtc = crtcInfo(display, resources, info.crtc);
    if (!crtc)
        return { Step::configure, BadRRCrtc + m_errorBase };

    Remembered was;
    was.crtc = info.crtc;
    was.mode = crtc->mode;
    was.x = crtc->x;
    was.y = crtc->y;
    was.rotation = crtc->rotation;
    for (int i = 0; i < crtc->noutput; ++i)
        was.outputs << crtc->outputs[i];
    const RROutput primary = m_hasPrimary ? XRRGetOutputPrimary(display, root) : 0;
    was.primary = primary == id;

    // Outputs that share the CRTC (a clone) keep showing.
    QList<RROutput> staying;
    for (const unsigned long output : was.outputs)
        if (output != id)
            staying << output;
    if (const int code = configureCrtc(display, resources, was.crtc, was.x, was.y,
            staying.isEmpty() ? None : was.mode, was.rotation, staying))
        return { Step::configure, code };

    // What stays on is moved as one so that it starts at 0,0: only the
    // screen's far edges can be cut.
    struct Lit {
        RRCrtc crtc;
        CrtcInfo info;
    };
    std::vector<Lit> lit;
    QRect bounds;
    for (int i = 0; i < resources->ncrtc; ++i) {
        if (staying.isEmpty() && resources->crtcs[i] == was.crtc)
            continue;
        CrtcInfo info = crtcInfo(display, resources, resources->crtcs[i]);
        if (!info || info->mode == None)
            continue;
        bounds |= crtcRect(*info);
        lit.push_back({ resources->crtcs[i], std::move(info) });
    }
    const auto moveBack = [&] {
        for (const auto& [crtc, place] : std::as_const(was.moved)) {
            for (const Lit& each : lit) {
                if (each.crtc != crtc)
                    continue;
                QList<RROutput> outputs(each.info->outputs, each.info->outputs + each.info->noutput);
                configureCrtc(display, resources, crtc, place.x(), place.y(), each.info->mode, each.info->rotation,
                    outputs);
            }
        }
        configureCrtc(display, resources, was.crtc, was.x, was.y, was.mode, was.rotation, was.outputs);
    };
    if (!lit.empty() && (bounds.x() > 0 || bounds.y() > 0)) {
        for (const Lit& each : lit) {
            QList<RROutput> outputs(each.info->outputs, each.info->outputs + each.info->noutput);
            if (const int code = configureCrtc(display, resources, each.crtc, each.info->x - bounds.x(),
                    each.info->y - bounds.y(), each.info->mode, each.info->rotation, outputs)) {
                moveBack();
                return { Step::configure, code };
            }
            was.moved.append({ each.crtc, QPoint(each.info->x, each.info->y) });
        }
    }

    const QSize size = screenSizeFor(display, root, resources, staying.isEmpty() ? was.crtc : 0);
    if (const int code = resizeScreen(display, root, size)) {
        moveBack();
        return { Step::complete, code };
    }
    m_remembered.insert(id, was);

    if (m_hasPrimary && (was.primary || primary == 0)) {
        for (int i = 0; i < resources->noutput; ++i) {
            const RROutput other = resources->outputs[i];
            if (other == id)
                continue;
            const OutputInfo otherInfo = outputInfo(display, resources, other);
            if (otherInfo && showing(*otherInfo)) {
                x11::X11ErrorTrap trap(display);
                XRRSetOutputPrimary(display, root, other);
                trap.sync();
                break;
            }
        }
    }
    return {};
}

DisplaySwitchResult X11Displays::switchOn(DisplayId id, XRRScreenResources* resources, const XRROutputInfo& info)
{
    using Step = DisplaySwitchResult::Step;
    Display* display = m_connection.display();
    const Window root = m_connection.rootWindow();
    if (info.connection != RR_Connected)
        return { Step::configure, RRSetConfigFailed };
    if (info.crtc != 0)
        return {};

    const auto usable = [&](RRCrtc crtc) {
        bool possible = false;
        for (int i = 0; i < info.ncrtc; ++i)
            possible = possible || info.crtcs[i] == crtc;
        const CrtcInfo current = possible ? crtcInfo(display, resources, crtc) : CrtcInfo();
        return current && current->noutput == 0 && current->mode == None;
    };
    const auto hasMode = [&](RRMode mode) {
        for (int i = 0; i < info.nmode; ++i)
            if (info.modes[i] == mode)
                return true;
        return false;
    };

    Remembered target;
    const auto remembered = m_remembered.constFind(id);
    if (remembered != m_remembered.cend() && usable(remembered->crtc) && hasMode(remembered->mode)) {
        target = *remembered;
        // Outputs that stayed on through a shared CRTC were taken elsewhere
        // meanwhile, or still show there: this output comes back alone.
        target.outputs = { id };
    } else {
        target = {};
        for (int i = 0; i < info.ncrtc && !target.crtc; ++i)
            if (usable(info.crtcs[i]))
                target.crtc = info.crtcs[i];
        // The preferred mode, else the largest.
        if (info.npreferred > 0) {
            target.mode = info.modes[0];
        } else {
            qint64 largest = 0;
            for (int i = 0; i < info.nmode; ++i) {
                const XRRModeInfo* mode = modeInfo(resources, info.modes[i]);
                if (mode && qint64(mode->width) * mode->height > largest) {
                    largest = qint64(mode->width) * mode->height;
                    target.mode = info.modes[i];
                }
            }
        }
        target.x = occupied(display, resources, 0).width();
        target.outputs = { id };
        if (!target.crtc || !target.mode)
            return { Step::configure, RRSetConfigFailed };
    }
    const XRRModeInfo* mode = modeInfo(resources, target.mode);
    if (!mode)
        return { Step::configure, RRSetConfigFailed };
    const bool sideways = target.rotation & (RR_Rotate_90 | RR_Rotate_270);
    const QRect shown(target.x, target.y, int(sideways ? mode->height : mode->width),
        int(sideways ? mode->width : mode->height));

    // The others go back to where they were before the switch-off moved them.
    struct Moving {
        RRCrtc crtc;
        CrtcInfo info;
        QPoint from;
        QPoint to;
    };
    std::vector<Moving> moving;
    QSize needed = screenSizeFor(display, root, resources, 0, shown);
    for (const auto& [crtc, place] : std::as_const(target.moved)) {
        CrtcInfo info = crtcInfo(display, resources, crtc);
        if (!info || info->mode == None)
            continue;
        needed = needed.expandedTo(QSize(place.x() + int(info->width), place.y() + int(info->height)));
        const QPoint from(info->x, info->y);
        moving.push_back({ crtc, std::move(info), from, place });
    }
    const auto place = [&](const Moving& each, QPoint at) {
        QList<RROutput> outputs(each.info->outputs, each.info->outputs + each.info->noutput);
        return configureCrtc(display, resources, each.crtc, at.x(), at.y(), each.info->mode, each.info->rotation,
            outputs);
    };
    const QSize before = currentScreenSize(display, root);
    if (const int code = resizeScreen(display, root, before.expandedTo(needed)))
        return { Step::complete, code };
    for (std::size_t i = 0; i < moving.size(); ++i) {
        if (const int code = place(moving[i], moving[i].to)) {
            for (std::size_t j = 0; j < i; ++j)
                place(moving[j], moving[j].from);
            resizeScreen(display, root, before);
            return { Step::configure, code };
        }
    }
    if (const int code = configureCrtc(
            display, resources, target.crtc, target.x, target.y, target.mode, target.rotation, target.outputs)) {
        for (const Moving& each : moving)
            place(each, each.from);
        resizeScreen(display, root, before);
        return { Step::configure, code };
    }
    if (m_hasPrimary && target.primary) {
        x11::X11ErrorTrap trap(display);
        XRRSetOutputPrimary(display, root, id);
        trap.sync();
    }
    m_remembered.remove(id);
    return {};
}

QList<X11Displays::Seen> X11Displays::snapshot()
{
    QList<Seen> seen;
    Display* display = m_connection.display();
    const Resources resources = screenResources(display, m_connection.rootWindow(), m_hasPrimary);
    for (int i = 0; resources && i < resources->noutput; ++i) {
        const OutputInfo info = outputInfo(display, resources.get(), resources->outputs[i]);
        if (info)
            seen << Seen { DisplayId(resources->outputs[i]), info->connection == RR_Connected, showing(*info),
                isBuiltInName(*info) };
    }
    return seen;
}

QList<DisplayFacts> X11Displays::activeDisplayFacts()
{
    // While the notices are watched, every change of an output reaches this
    // connection and the outputs are read then: asking the server again
    // would only wake the process for what it was already told.
    if (!m_eventHandler)
        return Displays::activeDisplayFacts();
    QList<DisplayFacts> facts;
    for (const Seen& output : m_seen)
        if (output.showing)
            facts << DisplayFacts { output.id, output.builtIn, output.connected, false };
    return facts;
}

void X11Displays::watchReconfigurations()
{
    if (m_eventHandler || !m_configureEnabled)
        return;
    // The only RandR events this connection asks for; selecting sets the
    // whole RandR mask of this client on the root window. Selected before
    // the outputs are read, so a change in between still sends its notice.
    XRRSelectInput(m_connection.display(), m_connection.rootWindow(), RROutputChangeNotifyMask | RRCrtcChangeNotifyMask);
    m_seen = snapshot();
    m_eventHandler = m_connection.addEventHandler([this](const XEvent& event) { handleEvent(event); });
}

void X11Displays::handleEvent(const XEvent& event)
{
    if (event.type != m_eventBase + RRNotify)
        return;
    const auto& notify = reinterpret_cast<const XRRNotifyEvent&>(event);
    if (notify.subtype != RRNotify_OutputChange && notify.subtype != RRNotify_CrtcChange)
        return;
    // One change of the configuration sends several notices; the first one
    // already finds the whole change, the later ones nothing new.
    const QList<Seen> now = snapshot();
    const auto byId = [](const QList<Seen>& outputs) {
        QHash<DisplayId, Seen> outputById;
        for (const Seen& output : outputs)
            outputById.insert(output.id, output);
        return outputById;
    };
    const QHash<DisplayId, Seen> seenBefore = byId(m_seen);
    const QHash<DisplayId, Seen> seenNow = byId(now);
    QList<DisplayChange> changes;
    QList<DisplayId> ids = seenNow.keys();
    for (auto it = seenBefore.cbegin(); it != seenBefore.cend(); ++it)
        if (!seenNow.contains(it.key()))
            ids << it.key();
    std::sort(ids.begin(), ids.end());
    for (const DisplayId id : ids) {
        const Seen before = seenBefore.value(id);
        const Seen after = seenNow.value(id);
        DisplayChange change { id, (before.connected && !after.connected) || (before.showing && !after.showing),
            (!before.connected && after.connected) || (!before.showing && after.showing) };
        if (change.removed || change.added)
            changes << change;
    }
    m_seen = now;
    Q_EMIT reconfigured(changes);
}

}  // namespace mendo
