#pragma once

#include "fakes/EventLog.h"
#include "platform/HotkeyRegistrar.h"

#include <QList>
#include <QMap>
#include <QStringList>
#include <map>
#include <utility>

namespace mendo {

// Records what is registered; `press` plays the user pressing a chord.
// With a log, installing is logged as "hotkeys install".
class FakeHotkeyRegistrar final : public HotkeyRegistrar {
public:
    FakeHotkeyRegistrar() = default;
    explicit FakeHotkeyRegistrar(EventLog& log)
        : m_log(&log)
    {
    }

    int install() override
    {
        if (m_log)
            m_log->add(QStringLiteral("hotkeys install"));
        if (installStatus)
            return installStatus;
        installed = true;
        return 0;
    }
    void uninstall() override
    {
        installed = false;
        registered.clear();
    }
    int registerHotkey(quint32 id, HotkeyChord chord) override
    {
        if (!installed)
            return notConnected;
        if (heldElsewhere.contains(chord) || registered.values().contains(chord))
            return refused;
        registered.insert(id, chord);
        ++registrations;
        return 0;
    }
    void unregisterHotkey(quint32 id) override { registered.remove(id); }

    // Resolves like the desktop's registrar over `keyboard`: the first group
    // whose symbol names a key and resolves back to the pressed key.
    std::optional<quint16> keyCodeForNativeKey(quint32 nativeKey) override
    {
        const auto key = keyboard.find(nativeKey);
        if (key == keyboard.end())
            return std::nullopt;
        for (const std::optional<quint16>& code : key->second) {
            if (code && nativeKeyForKeyCode(*code) == nativeKey)
                return code;
        }
        return std::nullopt;
    }
    std::optional<quint32> nativeKeyForKeyCode(quint16 keyCode) override
    {
        for (int group = 0; group < 4; ++group) {
            for (const auto& [nativeKey, groups] : keyboard) {
                if (group < groups.size() && groups[group] == keyCode)
                    return nativeKey;
            }
        }
        return std::nullopt;
    }

    // A few keys of a PC keyboard by their X key codes, in the layout groups
    // named ("us", "ru"): what each key's symbol names in each group.
    void useLayouts(const QStringList& layouts)
    {
        // X key code, its name in us, its name in ru (none: no symbol of the
        // hotkey text format, a Cyrillic letter say).
        const struct {
            quint32 nativeKey;
            std::optional<quint16> us, ru;
        } keys[] = {
            { 9, 53, 53 },  // Escape
            { 10, 18, 18 },  // 1
            { 13, 21, 21 },  // 4
            { 22, {}, {} },  // BackSpace
            { 23, 48, 48 },  // Tab
            { 24, 12, {} },  // Q, Cyrillic short i
            { 38, 0, {} },  // A, Cyrillic ef
            { 36, 36, 36 },  // Return
            { 50, {}, {} },  // Shift
            { 60, 47, {} },  // period, Cyrillic yu
            { 61, 44, 47 },  // slash, period
            { 64, {}, {} },  // Alt
            { 65, 49, 49 },  // space
            { 71, 96, 96 },  // F5
            { 87, {}, {} },  // keypad 1 (End, KP_1)
            { 113, 123, 123 },  // Left
            { 119, {}, {} },  // Delete
        };
        keyboard.clear();
        for (const auto& key : keys) {
            QList<std::optional<quint16>>& groups = keyboard[key.nativeKey];
            for (const QString& layout : layouts)
                groups.append(layout == u"ru" ? key.ru : key.us);
        }
    }

    // Fires the id that holds the chord; false when none does.
    bool press(HotkeyChord chord)
    {
        for (auto it = registered.cbegin(); it != registered.cend(); ++it) {
            if (it.value() == chord) {
                Q_EMIT pressed(it.key());
                return true;
            }
        }
        return false;
    }

    // Plays the user holding the chord down: it fires, and its key stays
    // down until release().
    bool hold(HotkeyChord chord)
    {
        for (auto it = registered.cbegin(); it != registered.cend(); ++it) {
            if (it.value() == chord) {
                held.append(it.key());
                Q_EMIT pressed(it.key());
                return true;
            }
        }
        return false;
    }
    void release()
    {
        const QList<quint32> letGo = std::exchange(held, {});
        for (const quint32 id : letGo)
            Q_EMIT released(id);
    }
    bool isAnyHeld() const override { return !held.isEmpty(); }

    // Plays a keyboard change after which the chord of `id` cannot be held.
    void lose(quint32 id, int status = refused)
    {
        registered.remove(id);
        Q_EMIT lost(id, status);
    }

    int installStatus = 0;
    QList<HotkeyChord> heldElsewhere;  // chords another program owns
    bool installed = false;
    QMap<quint32, HotkeyChord> registered;
    int registrations = 0;
    // Ids whose chords are held down now.
    QList<quint32> held;
    // X key code -> per layout group, the virtual key code its symbol names.
    std::map<quint32, QList<std::optional<quint16>>> keyboard;

private:
    EventLog* m_log = nullptr;
};

}  // namespace mendo
