#pragma once

#include "model/MendoSettings.h"
#include "ui/PanelLook.h"

#include <QObject>
#include <QPointer>

namespace mendo {

class MendoAppState;

// A panel controller that keeps its panel in step with the application
// state: attaching copies the current settings and follows every later
// settings value and surface mode. A second attach replaces the first.
class AppStateFollower : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual void attach(MendoAppState& appState);

    MendoAppState* appState() const;
    // The settings as last published; the defaults before attaching.
    const MendoSettings& settings() const { return m_settings; }
    const PanelLook& look() const { return m_look; }

Q_SIGNALS:
    // After every copy of the settings or the surface mode.
    void followed();

private:
    void copy();

    QPointer<MendoAppState> m_appState;
    MendoSettings m_settings;
    PanelLook m_look;
    QMetaObject::Connection m_settingsSubscription;
    QMetaObject::Connection m_surfaceSubscription;
};

}  // namespace mendo
