#include "platform/x11/X11KeyboardEvents.h"

#include "platform/x11/Ewmh.h"
#include "platform/x11/X11PostedKeys.h"

#include <QSet>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <vector>

namespace mendo {

EditingStyle editingStyleOfWindowClass(const QString& wmInstance, const QString& wmClass)
{
    // Control+Shift+V pastes the clipboard in these.
    static const QSet<QString> clipboardPasting {
        QStringLiteral("gnome-terminal"),
        QStringLiteral("gnome-terminal-server"),
        QStringLiteral("konsole"),
        QStringLiteral("xfce4-terminal"),
        QStringLiteral("mate-terminal"),
        QStringLiteral("lxterminal"),
        QStringLiteral("qterminal"),
        QStringLiteral("terminator"),
        QStringLiteral("tilix"),
        QStringLiteral("alacritty"),
        QStringLiteral("kitty"),
        QStringLiteral("st-256color"),
        QStringLiteral("st"),
        QStringLiteral("foot"),
        QStringLiteral("sakura"),
        QStringLiteral("terminology"),
        QStringLiteral("guake"),
        QStringLiteral("tilda"),
        QStringLiteral("yakuake"),
        QStringLiteral("cool-retro-term"),
        QStringLiteral("org.wezfurlong.wezterm"),
        QStringLiteral("kgx"),
        QStringLiteral("ptyxis"),
        QStringLiteral("deepin-terminal"),
    };
    // These have no clipboard paste key by default; Shift+Insert pastes PRIMARY.
    static const QSet<QString> primaryPasting {
        QStringLiteral("xterm"),
        QStringLiteral("uxterm"),
        QStringLiteral("urxvt"),
        QStringLiteral("rxvt"),
        QStringLiteral("eterm"),
        QStringLiteral("aterm"),
    };
    const QString instance = wmInstance.toLower();
    const QString className = wmClass.toLower();
    if (primaryPasting.contains(className) || primaryPasting.contains(instance))
        return EditingStyle::TerminalPrimary;
    if (clipboardPasting.contains(className) || clipboardPasting.contains(instance))
        return EditingStyle::TerminalClipboard;
    return EditingStyle::Standard;
}

namespace {

// The core modifier rows that carry the four modifiers the shortcuts care
// about, found from the keysyms bound to them (Alt and Super may sit on any of
// Mod1..Mod5).
struct ModifierKeys {
    std::vector<KeyCode> keycodes;  // every key that sets Shift, Control, Alt or Super
    std::vector<Qt::KeyboardModifier> modifierOf;
};

ModifierKeys modifierKeys(Display* display)
{
    ModifierKeys result;
    XModifierKeymap* map = XGetModifierMapping(display);
    if (!map)
        return result;
    for (int row = 0; row < 8; ++row) {
        for (int column = 0; column < map->max_keypermod; ++column) {
            const KeyCode keycode = map->modifiermap[row * map->max_keypermod + column];
            if (keycode == 0)
                continue;
            Qt::KeyboardModifier modifier = Qt::NoModifier;
            if (row == ShiftMapIndex) {
                modifier = Qt::ShiftModifier;
            } else if (row == ControlMapIndex) {
                modifier = Qt::ControlModifier;
            } else if (row >= Mod1MapIndex) {
                switch (XkbKeycodeToKeysym(display, keycode, 0, 0)) {
                case XK_Alt_L:
                case XK_Alt_R:
                case XK_Meta_L:
                case XK_Meta_R:
                case XK_ISO_Level3_Shift:
                    modifier = Qt::AltModifier;
                    break;
                case XK_Super_L:
                case XK_Super_R:
                case XK_Hyper_L:
                case XK_Hyper_R:
                    modifier = Qt::MetaModifier;
                    break;
                default:
                    break;  // NumLock, Mode_switch and the like do not count
                }
            }
            if (modifier != Qt::NoModifier) {
                result.keycodes.push_back(keycode);
                result.modifierOf.push_back(modifier);
            }
        }
    }
    XFreeModifiermap(map);
    return result;
}

bool isDown(const char keys[32], KeyCode keycode)
{
    return (keys[keycode / 8] >> (keycode % 8)) & 1;
}

}  // namespace

X11KeyboardEvents::X11KeyboardEvents()
{
    if (!m_connection.isOpen())
        return;
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    m_hasXTest = XTestQueryExtension(m_connection.display(), &eventBase, &errorBase, &major, &minor);
}

void X11KeyboardEvents::fakeKey(unsigned int keycode, bool down, unsigned long delay)
{
    if (m_posted)
        m_posted->record(int(keycode), down);
    XTestFakeKeyEvent(m_connection.display(), keycode, down, delay);
}

Qt::KeyboardModifiers X11KeyboardEvents::heldModifiers() const
{
    Display* display = m_connection.display();
    if (!display)
        return {};
    char keys[32] = {};
    XQueryKeymap(display, keys);
    const ModifierKeys modifiers = modifierKeys(display);
    Qt::KeyboardModifiers held;
    for (size_t i = 0; i < modifiers.keycodes.size(); ++i) {
        if (isDown(keys, modifiers.keycodes[i]))
            held |= modifiers.modifierOf[i];
    }
    return held;
}

void X11KeyboardEvents::releaseHeldModifiers()
{
    Display* display = m_connection.display();
    char keys[32] = {};
    XQueryKeymap(display, keys);
    for (const KeyCode keycode : modifierKeys(display).keycodes) {
        if (isDown(keys, keycode))
            fakeKey(keycode, False, CurrentTime);
    }
}

EditingStyle X11KeyboardEvents::focusedEditingStyle()
{
    const auto active = x11::ewmh::activeWindow(m_connection);
    if (!active)
        return EditingStyle::Standard;
    const auto windowClass = x11::ewmh::windowClass(m_connection, *active);
    return windowClass ? editingStyleOfWindowClass(windowClass->instance, windowClass->className)
                       : EditingStyle::Standard;
}

ShortcutResult X11KeyboardEvents::postShortcut(EditShortcut shortcut)
{
    if (!m_hasXTest)
        return ShortcutResult::NotPermitted;
    const EditingStyle style = focusedEditingStyle();
    // The key, and where it sits on a PC keyboard under the evdev driver, for
    // key maps without a Latin layout.
    KeySym letter = XK_a;
    KeyCode pcKey = 38;
    bool withControl = true;
    bool withShift = false;
    switch (shortcut) {
    case EditShortcut::SelectAll:
    case EditShortcut::Copy:
        // In a terminal both would reach the running program (an interrupt,
        // a cursor move); its selection is read from PRIMARY instead.
        if (style != EditingStyle::Standard)
            return ShortcutResult::Skipped;
        if (shortcut == EditShortcut::Copy) {
            letter = XK_c;
            pcKey = 54;
        }
        break;
    case EditShortcut::Paste:
        letter = XK_v;
        pcKey = 55;
        if (style == EditingStyle::TerminalClipboard) {
            withShift = true;
        } else if (style == EditingStyle::TerminalPrimary) {
            letter = XK_Insert;
            pcKey = 118;
            withControl = false;
            withShift = true;
        }
        break;
    case EditShortcut::CloseTab:
        letter = XK_w;
        pcKey = 25;
        break;
    }
    Display* display = m_connection.display();
    const KeyCode control = XKeysymToKeycode(display, XK_Control_L);
    const KeyCode shift = XKeysymToKeycode(display, XK_Shift_L);
    KeyCode key = XKeysymToKeycode(display, letter);
    if (key == 0)
        key = pcKey;
    if ((withControl && control == 0) || (withShift && shift == 0))
        return ShortcutResult::Failed;

    releaseHeldModifiers();
    if (withControl)
        fakeKey(control, True, CurrentTime);
    if (withShift)
        fakeKey(shift, True, CurrentTime);
    fakeKey(key, True, CurrentTime);
    // The server holds the key for 20 ms before the key-up: some applications
    // miss a press and release that arrive together.
    fakeKey(key, False, 20);
    if (withShift)
        fakeKey(shift, False, CurrentTime);
    if (withControl)
        fakeKey(control, False, CurrentTime);
    XFlush(display);
    // No XSync: it would wait out the 20 ms hold. Errors of these requests
    // (a bad keycode) come back later and are ignored.
    return ShortcutResult::Posted;
}

}  // namespace mendo
