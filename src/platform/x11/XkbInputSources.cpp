#include "platform/x11/XkbInputSources.h"

#include "platform/x11/X11Connection.h"

#include <QMetaObject>
#include <QStringList>

// X11 after Qt: Xlib's macros (None, Bool, Status) clash with Qt's headers.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XKBrules.h>
#include <cstdio>
#include <cstdlib>
#include <xkbcommon/xkbcommon.h>

namespace mendo {

struct XkbInputSources::Private {
    XkbInputSources* q;
    x11::X11Connection& connection;
    Display* display = nullptr;  // null without the keyboard extension
    int xkbEventBase = 0;
    int eventHandler = 0;
    bool changeQueued = false;

    void handle(const XEvent& event)
    {
        if (event.type != xkbEventBase)
            return;
        const auto* xkbEvent = reinterpret_cast<const XkbEvent*>(&event);
        switch (xkbEvent->any.xkb_type) {
        case XkbStateNotify:
            if (xkbEvent->state.changed & (XkbGroupStateMask | XkbGroupLockMask))
                announceChange();
            break;
        case XkbNewKeyboardNotify:
        case XkbMapNotify:
        case XkbNamesNotify:
            announceChange();
            break;
        default:
            break;
        }
    }

    // One layout switch or setxkbmap brings several events: one signal for
    // all of them, from the event loop once they are read.
    void announceChange()
    {
        if (changeQueued)
            return;
        changeQueued = true;
        QMetaObject::invokeMethod(
            q,
            [this] {
                changeQueued = false;
                Q_EMIT q->changed();
            },
            Qt::QueuedConnection);
    }
};

namespace {

QString atomName(Display* display, Atom atom)
{
    if (atom == 0)
        return {};
    char* name = XGetAtomName(display, atom);
    if (!name)
        return {};
    QString result = QString::fromUtf8(name);
    XFree(name);
    return result;
}

QString takeCString(char* s)
{
    QString result = s ? QString::fromUtf8(s) : QString();
    std::free(s);
    return result;
}

// Layout codes of the groups from the symbols component the keymap was built
// from, "pc+us+ru(phonetic):2+inet(evdev)": the first layout follows the
// model's "pc" part, later groups carry their number.
QStringList layoutsFromSymbols(const QString& symbols, int groups)
{
    QStringList result(groups);
    bool first = true;
    for (const QString& part : symbols.split(QLatin1Char('+'), Qt::SkipEmptyParts)) {
        if (part == u"pc" || part.startsWith(u"pc("))
            continue;
        const qsizetype colon = part.indexOf(QLatin1Char(':'));
        if (colon < 0) {
            if (first && groups > 0)
                result[0] = part;
            first = false;
            continue;
        }
        first = false;
        bool ok = false;
        const int group = part.mid(colon + 1).toInt(&ok);
        if (ok && group >= 1 && group <= groups)
            result[group - 1] = part.left(colon);
    }
    return result;
}

// Layout codes with variants, "us", "ru(phonetic)", one per group: from the
// rules names that setxkbmap and the desktops publish on the root window,
// else from the keymap's symbols name.
QStringList layoutIds(Display* display, const QString& symbols, int groups)
{
    XkbRF_VarDefsRec defs {};
    char* rules = nullptr;
    if (XkbRF_GetNamesProp(display, &rules, &defs)) {
        std::free(rules);
        const QStringList layouts = takeCString(defs.layout).split(QLatin1Char(','));
        const QStringList variants = takeCString(defs.variant).split(QLatin1Char(','));
        std::free(defs.model);
        std::free(defs.options);
        if (layouts.size() == groups) {
            QStringList ids;
            for (qsizetype i = 0; i < layouts.size(); ++i) {
                const QString variant = variants.value(i).trimmed();
                ids.append(layouts[i].trimmed() + (variant.isEmpty() ? QString() : u'(' + variant + u')'));
            }
            return ids;
        }
    }
    return layoutsFromSymbols(symbols, groups);
}

// The text a keysym types: one printable character, or empty for dead keys,
// modifiers, function keys and control characters.
QString keysymText(KeySym sym)
{
    if (sym == NoSymbol)
        return {};
    const char32_t code = xkb_keysym_to_utf32(xkb_keysym_t(sym));
    if (code == 0 || code < 0x20 || (code >= 0x7f && code < 0xa0))
        return {};
    return QString::fromUcs4(&code, 1);
}

int groupCount(Display* display, XkbDescPtr xkb)
{
    if (XkbGetControls(display, XkbGroupsWrapMask, xkb) != Success || !xkb->ctrls)
        return 0;
    return xkb->ctrls->num_groups;
}

}  // namespace

XkbInputSources::XkbInputSources(x11::X11Connection& connection, QObject* parent)
    : InputSources(parent)
    , d(std::make_unique<Private>(Private { this, connection }))
{
    Display* display = connection.display();
    int opcode = 0;
    int errorBase = 0;
    int major = XkbMajorVersion;
    int minor = XkbMinorVersion;
    if (!display || !XkbQueryExtension(display, &opcode, &d->xkbEventBase, &errorBase, &major, &minor))
        return;
    d->display = display;

    const unsigned keyboardChanges = XkbNewKeyboardNotifyMask | XkbMapNotifyMask | XkbNamesNotifyMask;
    XkbSelectEvents(d->display, XkbUseCoreKbd, keyboardChanges, keyboardChanges);
    // Only group changes: every Shift press is a state change too.
    const unsigned long groupChanges = XkbGroupStateMask | XkbGroupLockMask;
    XkbSelectEventDetails(d->display, XkbUseCoreKbd, XkbStateNotify, groupChanges, groupChanges);
    XFlush(d->display);
    d->eventHandler = connection.addEventHandler([this](const XEvent& event) { d->handle(event); });
}

XkbInputSources::~XkbInputSources()
{
    if (d->eventHandler)
        d->connection.removeEventHandler(d->eventHandler);
}

bool XkbInputSources::isConnected() const
{
    return d->display != nullptr;
}

QList<InputSource> XkbInputSources::sources() const
{
    QList<InputSource> result;
    if (!d->display)
        return result;
    XkbDescPtr xkb = XkbAllocKeyboard();
    if (!xkb)
        return result;
    const int groups = groupCount(d->display, xkb);
    if (groups > 0 && XkbGetNames(d->display, XkbGroupNamesMask | XkbSymbolsNameMask, xkb) == Success && xkb->names) {
        const QStringList ids = layoutIds(d->display, atomName(d->display, xkb->names->symbols), groups);
        for (int group = 0; group < groups && group < XkbNumKbdGroups; ++group)
            result.append({ group, ids.value(group), atomName(d->display, xkb->names->groups[group]) });
    }
    XkbFreeKeyboard(xkb, 0, True);
    d->connection.drainEventsLater();
    return result;
}

std::optional<InputSource> XkbInputSources::current() const
{
    if (!d->display)
        return std::nullopt;
    XkbStateRec state {};
    const bool read = XkbGetState(d->display, XkbUseCoreKbd, &state) == Success;
    d->connection.drainEventsLater();
    if (!read)
        return std::nullopt;
    for (const InputSource& source : sources()) {
        if (source.index == state.group)
            return source;
    }
    return std::nullopt;
}

std::optional<KeyLayout> XkbInputSources::keyLayout(const InputSource& source) const
{
    // The group numbers mean something else once the keymap has changed.
    if (!sources().contains(source))
        return std::nullopt;
    XkbDescPtr xkb = XkbGetMap(d->display, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
    d->connection.drainEventsLater();
    if (!xkb)
        return std::nullopt;

    KeyLayout layout;
    for (int code = xkb->min_key_code; code <= xkb->max_key_code; ++code) {
        if (XkbKeyNumGroups(xkb, code) == 0)
            continue;
        unsigned int modsUsed = 0;
        KeySym plain = NoSymbol;
        KeySym shifted = NoSymbol;
        XkbTranslateKeyCode(xkb, KeyCode(code), XkbBuildCoreState(0, source.index), &modsUsed, &plain);
        XkbTranslateKeyCode(xkb, KeyCode(code), XkbBuildCoreState(ShiftMask, source.index), &modsUsed, &shifted);
        KeyCharacters keys { keysymText(plain), keysymText(shifted) };
        if (!keys.plain.isEmpty() || !keys.shifted.isEmpty())
            layout[code] = std::move(keys);
    }
    XkbFreeKeyboard(xkb, 0, True);
    return layout;
}

int XkbInputSources::select(const InputSource& source)
{
    if (!d->display)
        return noConnection;
    if (!sources().contains(source))
        return BadValue;
    if (!XkbLockGroup(d->display, XkbUseCoreKbd, unsigned(source.index)))
        return BadImplementation;
    XSync(d->display, False);
    XkbStateRec state {};
    const bool read = XkbGetState(d->display, XkbUseCoreKbd, &state) == Success;
    d->connection.drainEventsLater();
    if (!read || state.locked_group != source.index)
        return BadAccess;
    return 0;
}

}  // namespace mendo
