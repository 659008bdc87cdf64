#pragma once

#include "platform/Displays.h"
#include "platform/x11/X11Connection.h"

#include <QHash>
#include <QPair>
#include <QPoint>
#include <QStringList>

struct _XRROutputInfo;
struct _XRRScreenResources;

namespace mendo {

// The displays as RandR outputs. A display's id is the output's XID; it is
// active while connected with a CRTC, built in when its name begins with one
// of the given prefixes, online while connected. X11 has no per-output sleep,
// so none is ever asleep. Switching needs RandR 1.2 or later.
//
// Off: under a server grab the CRTC's mode, position, rotation and outputs are
// remembered, the CRTC is released, the remaining CRTCs move together so that
// they start at 0,0 (a panel left of or above the monitor would otherwise
// leave a dark strip), the screen shrinks to them and "primary" goes to
// another active output. On: the screen grows, the moved CRTCs go back where
// they were and the output gets its remembered place; without a memory (after
// a restart) it gets its preferred mode to the right of the others on a free
// CRTC it can use. A failed CRTC step is `configure`, a failed screen-size step
// `complete`; either leaves the server as it was.
class X11Displays final : public Displays {
    Q_OBJECT
public:
    static inline const QStringList standardBuiltInPrefixes { QStringLiteral("eDP"), QStringLiteral("LVDS"),
        QStringLiteral("DSI") };

    // `connection` is shared with the other X11 classes and must outlive this.
    explicit X11Displays(x11::X11Connection& connection, QStringList builtInPrefixes = standardBuiltInPrefixes,
        QObject* parent = nullptr);
    ~X11Displays() override;

    bool configureEnabled() const override { return m_configureEnabled; }
    QList<DisplayId> activeDisplays() override;
    // While the reconfiguration notices are watched, as the last of them
    // showed the outputs: no request.
    QList<DisplayFacts> activeDisplayFacts() override;
    bool isBuiltin(DisplayId display) override;
    bool isOnline(DisplayId display) override;
    bool isAsleep(DisplayId) override { return false; }
    bool isInMirrorSet(DisplayId display) override;
    DisplaySwitchResult setEnabled(DisplayId display, bool enabled) override;
    void watchReconfigurations() override;

private:
    struct Seen {
        DisplayId id = 0;
        bool connected = false;
        bool showing = false;
        bool builtIn = false;
    };
    // What an output showed before it was switched off.
    struct Remembered {
        unsigned long crtc = 0;
        unsigned long mode = 0;
        int x = 0;
        int y = 0;
        unsigned short rotation = 1;
        QList<unsigned long> outputs;
        bool primary = false;
        // The other CRTCs moved so that what stays on starts at 0,0, with
        // where each was before.
        QList<QPair<unsigned long, QPoint>> moved;
    };
    // Every output, in the server's order.
    QList<Seen> snapshot();
    bool isBuiltInName(const _XRROutputInfo& output) const;
    void handleEvent(const _XEvent& event);
    // Under the server grab, with the configuration `output` was read from.
    DisplaySwitchResult switchOff(DisplayId display, _XRRScreenResources* resources, const _XRROutputInfo& output);
    DisplaySwitchResult switchOn(DisplayId display, _XRRScreenResources* resources, const _XRROutputInfo& output);

    x11::X11Connection& m_connection;
    QStringList m_builtInPrefixes;
    bool m_configureEnabled = false;
    // RandR 1.3: the cheap resource query and the primary output.
    bool m_hasPrimary = false;
    int m_eventBase = 0;
    int m_errorBase = 0;
    int m_eventHandler = 0;
    QList<Seen> m_seen;
    QHash<DisplayId, Remembered> m_remembered;
};

}  // namespace mendo
