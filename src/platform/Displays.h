#pragma once

#include <QList>
#include <QObject>

namespace mendo {

// A display as the display server names it (on X11 the RandR output's id).
using DisplayId = quint32;

// What happened to one display in one reconfiguration notice.
struct DisplayChange {
    DisplayId display = 0;
    // It went away: lost its connection or stopped showing anything.
    bool removed = false;
    // It came: gained a connection or started showing something.
    bool added = false;

    friend bool operator==(const DisplayChange&, const DisplayChange&) = default;
};

// How one attempt to switch a display on or off ended.
struct DisplaySwitchResult {
    enum class Step {
        // Took effect (or the display already was in the asked-for state).
        done,
        // Nothing could even be tried (no display server to talk to).
        unavailable,
        // The display itself could not be switched; nothing changed.
        configure,
        // The display was switched but the desktop around it could not be
        // fitted to it, and the switch was taken back; nothing changed.
        complete,
    };
    Step step = Step::done;
    // The server's error or status code of the failed step.
    int code = 0;

    bool succeeded() const { return step == Step::done; }
};

// An active display with what isBuiltin, isOnline and isAsleep tell of it.
struct DisplayFacts {
    DisplayId display = 0;
    bool builtIn = false;
    bool online = false;
    bool asleep = false;

    friend bool operator==(const DisplayFacts&, const DisplayFacts&) = default;
};

// The computer's displays: which are active, which is built in, switching one
// off and on, and notices when the set changes. Main thread.
class Displays : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~Displays() override = default;

    // Whether displays can be switched off and on here at all.
    virtual bool configureEnabled() const = 0;
    // Every display that shows something, in the server's order.
    virtual QList<DisplayId> activeDisplays() = 0;
    // The same with each one's facts, read together: a check repeated every
    // few seconds asks this, where the server may answer it for less.
    virtual QList<DisplayFacts> activeDisplayFacts()
    {
        QList<DisplayFacts> facts;
        for (const DisplayId display : activeDisplays())
            facts << DisplayFacts { display, isBuiltin(display), isOnline(display), isAsleep(display) };
        return facts;
    }
    // Built into the computer (a laptop's panel); also for a display that is
    // switched off.
    virtual bool isBuiltin(DisplayId display) = 0;
    // Connected to the computer.
    virtual bool isOnline(DisplayId display) = 0;
    virtual bool isAsleep(DisplayId display) = 0;
    // Another active display shows the same picture.
    virtual bool isInMirrorSet(DisplayId display) = 0;
    // Switches the display on or off; a display already in that state
    // counts as switched.
    virtual DisplaySwitchResult setEnabled(DisplayId display, bool enabled) = 0;
    // Starts the reconfigured() notices; later calls change nothing.
    virtual void watchReconfigurations() = 0;

Q_SIGNALS:
    // One notice of the display server; `changes` may be empty when only
    // something else (a mode, a position) changed.
    void reconfigured(const QList<mendo::DisplayChange>& changes);
};

}  // namespace mendo
