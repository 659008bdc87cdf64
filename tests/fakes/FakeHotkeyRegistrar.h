#pragma once

#include "fakes/EventLog.h"
#include "platform/HotkeyRegistrar.h"

#include <QList>
#include <QMap>

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

    int installStatus = 0;
    QList<HotkeyChord> heldElsewhere;  // chords another program owns
    bool installed = false;
    QMap<quint32, HotkeyChord> registered;
    int registrations = 0;

private:
    EventLog* m_log = nullptr;
};

}  // namespace mendo
