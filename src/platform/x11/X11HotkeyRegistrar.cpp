#include "platform/x11/X11HotkeyRegistrar.h"

#include "base/SystemLog.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Errors.h"

#include <QPointer>
#include <algorithm>
#include <map>

// Xlib's macros (Bool, Status, None, KeyPress) clash with Qt: include it last.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace mendo {

namespace {

// The keysym that each virtual key code of the hotkey text format stands for
// in a US layout.
const std::map<quint16, KeySym>& keysymTable()
{
    static const std::map<quint16, KeySym> table = {
        {0, XK_a}, {1, XK_s}, {2, XK_d}, {3, XK_f}, {4, XK_h}, {5, XK_g}, {6, XK_z}, {7, XK_x}, {8, XK_c},
        {9, XK_v}, {11, XK_b}, {12, XK_q}, {13, XK_w}, {14, XK_e}, {15, XK_r}, {16, XK_y}, {17, XK_t},
        {31, XK_o}, {32, XK_u}, {34, XK_i}, {35, XK_p}, {37, XK_l}, {38, XK_j}, {40, XK_k}, {45, XK_n},
        {46, XK_m}, {18, XK_1}, {19, XK_2}, {20, XK_3}, {21, XK_4}, {22, XK_6}, {23, XK_5}, {25, XK_9},
        {26, XK_7}, {28, XK_8}, {29, XK_0}, {24, XK_equal}, {27, XK_minus}, {30, XK_bracketright},
        {33, XK_bracketleft}, {39, XK_apostrophe}, {41, XK_semicolon}, {42, XK_backslash}, {43, XK_comma},
        {44, XK_slash}, {47, XK_period}, {50, XK_grave}, {49, XK_space}, {48, XK_Tab}, {36, XK_Return},
        {123, XK_Left}, {124, XK_Right}, {125, XK_Down}, {126, XK_Up}, {53, XK_Escape}, {122, XK_F1},
        {120, XK_F2}, {99, XK_F3}, {118, XK_F4}, {96, XK_F5}, {97, XK_F6}, {98, XK_F7}, {100, XK_F8},
        {101, XK_F9}, {109, XK_F10}, {103, XK_F11}, {111, XK_F12},
    };
    return table;
}

KeySym keysymForKeyCode(quint16 keyCode)
{
    const auto found = keysymTable().find(keyCode);
    return found == keysymTable().end() ? NoSymbol : found->second;
}

std::optional<quint16> keyCodeForKeysym(KeySym sym)
{
    for (const auto& [keyCode, tableSym] : keysymTable()) {
        if (tableSym == sym)
            return keyCode;
    }
    return std::nullopt;
}

}  // namespace

struct X11HotkeyRegistrar::Impl {
    struct Grab {
        HotkeyChord chord;
        KeyCode keycode = 0;  // 0: not grabbed (the key vanished from the keyboard, or it was taken)
        unsigned mods = 0;
        bool down = false;
    };

    Impl(X11HotkeyRegistrar* owner, x11::X11Connection& x11, SystemLog* systemLog)
        : q(owner), connection(x11), log(systemLog)
    {
    }

    X11HotkeyRegistrar* q;
    x11::X11Connection& connection;
    SystemLog* log;
    Display* display = nullptr;  // set while installed
    int eventHandler = 0;
    Window root = 0;
    int xkbEventBase = 0;
    XkbDescPtr keymap = nullptr;
    unsigned altMask = Mod1Mask;
    unsigned superMask = Mod4Mask;
    unsigned numLockMask = Mod2Mask;
    std::map<quint32, Grab> grabs;
    bool regrabQueued = false;

    void write(const QString& message) const
    {
        if (log)
            log->write(message);
    }

    // CapsLock and NumLock are part of a key event's state; a grab matches
    // only its exact modifiers, so each chord is grabbed with every lock state.
    std::vector<unsigned> lockVariants() const
    {
        std::vector<unsigned> variants{0, LockMask};
        if (numLockMask && numLockMask != LockMask) {
            variants.push_back(numLockMask);
            variants.push_back(LockMask | numLockMask);
        }
        return variants;
    }

    unsigned relevantMods(unsigned state) const { return state & (ShiftMask | ControlMask | altMask | superMask); }

    unsigned xMods(quint32 modifiers) const
    {
        unsigned mods = 0;
        if (modifiers & hotkeyCommand)
            mods |= superMask;
        if (modifiers & hotkeyControl)
            mods |= ControlMask;
        if (modifiers & hotkeyOption)
            mods |= altMask;
        if (modifiers & hotkeyShift)
            mods |= ShiftMask;
        return mods;
    }

    // Which of Mod1..Mod5 carry Alt, Super and NumLock on this server.
    void readModifierMapping()
    {
        unsigned alt = 0, super = 0, numLock = 0;
        if (XModifierKeymap* map = XGetModifierMapping(display)) {
            for (int mod = Mod1MapIndex; mod <= Mod5MapIndex; ++mod) {
                for (int i = 0; i < map->max_keypermod; ++i) {
                    const KeyCode keycode = map->modifiermap[mod * map->max_keypermod + i];
                    if (!keycode)
                        continue;
                    const KeySym sym = XkbKeycodeToKeysym(display, keycode, 0, 0);
                    const unsigned mask = 1u << mod;
                    if ((sym == XK_Alt_L || sym == XK_Alt_R) && !alt)
                        alt = mask;
                    else if ((sym == XK_Super_L || sym == XK_Super_R) && !super)
                        super = mask;
                    else if (sym == XK_Num_Lock && !numLock)
                        numLock = mask;
                }
            }
            XFreeModifiermap(map);
        }
        altMask = alt ? alt : Mod1Mask;
        superMask = super ? super : Mod4Mask;
        numLockMask = numLock;
    }

    void dropKeymap()
    {
        if (keymap)
            XkbFreeKeyboard(keymap, 0, True);
        keymap = nullptr;
    }

    // The key that produces `sym` in the first layout group; failing that, in
    // any other group (a first layout without Latin letters, say).
    KeyCode keycodeFor(KeySym sym)
    {
        if (sym == NoSymbol)
            return 0;
        if (!keymap)
            keymap = XkbGetMap(display, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
        if (!keymap)
            return XKeysymToKeycode(display, sym);
        for (int group = 0; group < XkbNumKbdGroups; ++group) {
            for (int keycode = keymap->min_key_code; keycode <= keymap->max_key_code; ++keycode) {
                if (group >= XkbKeyNumGroups(keymap, keycode))
                    continue;
                const int levels = std::min<int>(XkbKeyGroupWidth(keymap, keycode, group), 2);
                for (int level = 0; level < levels; ++level) {
                    if (XkbKeySymEntry(keymap, keycode, level, group) == sym)
                        return KeyCode(keycode);
                }
            }
        }
        return 0;
    }

    // The inverse of `keycodeFor`: a symbol of the key counts only where
    // resolving it comes back to this key, so that a chord recorded from a
    // press grabs the key that was pressed (and not, say, the top-row 1 for
    // the keypad's).
    std::optional<quint16> keyCodeForNativeKey(quint32 nativeKey)
    {
        if (!display || nativeKey > 255)
            return std::nullopt;
        if (!keymap)
            keymap = XkbGetMap(display, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
        if (!keymap || int(nativeKey) < keymap->min_key_code || int(nativeKey) > keymap->max_key_code)
            return std::nullopt;
        const KeyCode keycode = KeyCode(nativeKey);
        for (int group = 0; group < XkbKeyNumGroups(keymap, keycode); ++group) {
            const int levels = std::min<int>(XkbKeyGroupWidth(keymap, keycode, group), 2);
            for (int level = 0; level < levels; ++level) {
                const KeySym sym = XkbKeySymEntry(keymap, keycode, level, group);
                const auto code = keyCodeForKeysym(sym);
                if (code && keycodeFor(sym) == keycode)
                    return code;
            }
        }
        return std::nullopt;
    }

    std::optional<quint32> nativeKeyForKeyCode(quint16 keyCode)
    {
        if (!display)
            return std::nullopt;
        if (const KeyCode keycode = keycodeFor(keysymForKeyCode(keyCode)))
            return keycode;
        return std::nullopt;
    }

    int grab(KeyCode keycode, unsigned mods)
    {
        XSync(display, False);  // errors of earlier requests are not this grab's
        x11::X11ErrorTrap trap(display);
        for (unsigned lock : lockVariants())
            XGrabKey(display, keycode, mods | lock, root, False, GrabModeAsync, GrabModeAsync);
        const int error = trap.sync() ? trap.errors().front().errorCode : 0;
        if (error) {
            // One refused variant means another program owns the chord; ours
            // would only fire in some lock states, so give all of them back.
            ungrab(keycode, mods);
        }
        // The syncs may have read key events into Xlib's queue.
        connection.drainEventsLater();
        return error;
    }

    void ungrab(KeyCode keycode, unsigned mods)
    {
        std::vector<unsigned> states;
        for (unsigned lock : lockVariants())
            states.push_back(mods | lock);
        ungrabStates(keycode, states);
    }

    void ungrabStates(KeyCode keycode, const std::vector<unsigned>& states)
    {
        if (states.empty())
            return;
        x11::X11ErrorTrap trap(display);
        for (unsigned state : states)
            XUngrabKey(display, keycode, state, root);
        trap.sync();
        connection.drainEventsLater();
    }

    bool takenByAnother(quint32 id, KeyCode keycode, unsigned mods) const
    {
        for (const auto& [otherId, other] : grabs) {
            if (otherId != id && other.keycode == keycode && other.mods == mods)
                return true;
        }
        return false;
    }

    int registerHotkey(quint32 id, HotkeyChord chord)
    {
        if (!display)
            return notConnected;
        unregisterHotkey(id);
        const KeyCode keycode = keycodeFor(keysymForKeyCode(chord.keyCode));
        if (!keycode)
            return noSuchKey;
        const unsigned mods = xMods(chord.modifiers);
        if (takenByAnother(id, keycode, mods))
            return refused;
        if (const int error = grab(keycode, mods))
            return error;
        grabs[id] = Grab{chord, keycode, mods, false};
        return 0;
    }

    void unregisterHotkey(quint32 id)
    {
        const auto found = grabs.find(id);
        if (found == grabs.end())
            return;
        if (display && found->second.keycode)
            ungrab(found->second.keycode, found->second.mods);
        grabs.erase(found);
    }

    // After a keyboard change a key name may sit on another key, and the
    // modifiers on other bits. X announces a change also whenever typing
    // moves from one keyboard to another (the user's, XTest's), which mostly
    // leaves every chord where it was: a grab is only touched when its chord
    // moved, and then taken at its new place before the old one is let go, so
    // that a press arriving meanwhile never finds the chord unheld.
    void regrabAll()
    {
        regrabQueued = false;
        if (!display)
            return;
        dropKeymap();
        const std::vector<unsigned> oldLocks = lockVariants();
        readModifierMapping();
        const std::vector<unsigned> newLocks = lockVariants();
        std::vector<std::pair<quint32, int>> lost;
        for (auto& [id, grabbed] : grabs) {
            const KeyCode keycode = keycodeFor(keysymForKeyCode(grabbed.chord.keyCode));
            const unsigned mods = xMods(grabbed.chord.modifiers);
            if (keycode == grabbed.keycode && mods == grabbed.mods && newLocks == oldLocks)
                continue;
            const Grab old = grabbed;
            grabbed.down = false;
            grabbed.mods = mods;
            int status = noSuchKey;
            if (keycode)
                status = takenByAnother(id, keycode, mods) ? refused : grab(keycode, mods);
            grabbed.keycode = status == 0 ? keycode : 0;
            if (old.keycode) {
                // What the new grab holds stays held.
                std::vector<unsigned> stale;
                for (const unsigned lock : oldLocks) {
                    const unsigned state = old.mods | lock;
                    const bool heldAgain = grabbed.keycode == old.keycode
                        && std::any_of(newLocks.begin(), newLocks.end(),
                            [&](unsigned newLock) { return (mods | newLock) == state; });
                    if (!heldAgain)
                        stale.push_back(state);
                }
                ungrabStates(old.keycode, stale);
            }
            if (!grabbed.keycode) {
                write(QStringLiteral("hotkey %1 lost after a keyboard change").arg(id));
                lost.emplace_back(id, status);
            }
        }
        // Told once every grab is settled: a listener may register again.
        for (const auto& [id, status] : lost)
            Q_EMIT q->lost(id, status);
    }

    // Grabs again from the event loop, once however often it is asked for
    // before then; never inside the event handler, whose dispatch is still
    // reading the queue.
    void queueRegrab()
    {
        if (regrabQueued)
            return;
        regrabQueued = true;
        QMetaObject::invokeMethod(
            q,
            [self = QPointer<X11HotkeyRegistrar>(q)] {
                if (self)
                    self->d->regrabAll();
            },
            Qt::QueuedConnection);
    }

    void handle(const XEvent& received)
    {
        // Xlib's mapping refreshes take the event by pointer to non-const.
        XEvent event = received;
        if (event.type == KeyPress) {
            const unsigned mods = relevantMods(event.xkey.state);
            for (auto& [id, grabbed] : grabs) {
                if (grabbed.keycode != event.xkey.keycode || grabbed.mods != mods)
                    continue;
                // Held down, the key repeats as further presses: one action per press.
                if (grabbed.down)
                    return;
                grabbed.down = true;
                Q_EMIT q->pressed(id);
                return;
            }
        } else if (event.type == KeyRelease) {
            if (isAutoRepeatRelease(event))
                return;
            // The modifiers may be let go first: any release of the key ends the
            // press, and with it the grab of the keyboard.
            std::vector<quint32> released;
            for (auto& [id, grabbed] : grabs) {
                if (grabbed.keycode == event.xkey.keycode && grabbed.down) {
                    grabbed.down = false;
                    released.push_back(id);
                }
            }
            for (const quint32 id : released)
                Q_EMIT q->released(id);
        } else if (event.type == MappingNotify) {
            XRefreshKeyboardMapping(&event.xmapping);
            queueRegrab();
        } else if (event.type == xkbEventBase) {
            const auto& xkb = reinterpret_cast<const XkbAnyEvent&>(event);
            if (xkb.xkb_type == XkbMapNotify) {
                XkbRefreshKeyboardMapping(reinterpret_cast<XkbMapNotifyEvent*>(&event));
                queueRegrab();
            } else if (xkb.xkb_type == XkbNewKeyboardNotify) {
                queueRegrab();
            }
        }
    }

    // Without detectable auto-repeat the server sends a release and a press of
    // the same time for each repeat.
    bool isAutoRepeatRelease(const XEvent& release)
    {
        if (!XEventsQueued(display, QueuedAfterReading))
            return false;
        XEvent next;
        XPeekEvent(display, &next);
        return next.type == KeyPress && next.xkey.keycode == release.xkey.keycode
            && next.xkey.time == release.xkey.time;
    }

    int install()
    {
        if (display)
            return 0;
        Display* shared = connection.display();
        if (!shared) {
            write(QStringLiteral("hotkeys: cannot open the X display"));
            return notConnected;
        }
        int opcode = 0, errorBase = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
        if (!XkbQueryExtension(shared, &opcode, &xkbEventBase, &errorBase, &major, &minor)) {
            write(QStringLiteral("hotkeys: the X server has no keyboard extension"));
            return notConnected;
        }
        display = shared;
        root = connection.rootWindow();
        Bool detectable = False;
        XkbSetDetectableAutoRepeat(display, True, &detectable);
        // Only adds to what the connection selects: other classes listen for
        // keyboard changes too.
        const unsigned long changes = XkbNewKeyboardNotifyMask | XkbMapNotifyMask;
        XkbSelectEvents(display, XkbUseCoreKbd, changes, changes);
        readModifierMapping();
        XFlush(display);
        eventHandler = connection.addEventHandler([this](const XEvent& event) { handle(event); });
        connection.drainEventsLater();
        return 0;
    }

    // The keyboard selections and detectable auto-repeat stay: they belong to
    // the shared connection, and nothing reaches this class once its handler
    // is gone.
    void uninstall()
    {
        if (!display)
            return;
        while (!grabs.empty())
            unregisterHotkey(grabs.begin()->first);
        connection.removeEventHandler(eventHandler);
        eventHandler = 0;
        dropKeymap();
        display = nullptr;
    }
};

X11HotkeyRegistrar::X11HotkeyRegistrar(x11::X11Connection& connection, SystemLog* log, QObject* parent)
    : HotkeyRegistrar(parent), d(std::make_unique<Impl>(this, connection, log))
{
}

X11HotkeyRegistrar::~X11HotkeyRegistrar()
{
    d->uninstall();
}

int X11HotkeyRegistrar::install()
{
    return d->install();
}

void X11HotkeyRegistrar::uninstall()
{
    d->uninstall();
}

int X11HotkeyRegistrar::registerHotkey(quint32 id, HotkeyChord chord)
{
    return d->registerHotkey(id, chord);
}

void X11HotkeyRegistrar::unregisterHotkey(quint32 id)
{
    d->unregisterHotkey(id);
}

std::optional<quint16> X11HotkeyRegistrar::keyCodeForNativeKey(quint32 nativeKey)
{
    return d->keyCodeForNativeKey(nativeKey);
}

std::optional<quint32> X11HotkeyRegistrar::nativeKeyForKeyCode(quint16 keyCode)
{
    return d->nativeKeyForKeyCode(keyCode);
}

bool X11HotkeyRegistrar::isAnyHeld() const
{
    return std::any_of(d->grabs.begin(), d->grabs.end(), [](const auto& entry) { return entry.second.down; });
}

}  // namespace mendo
