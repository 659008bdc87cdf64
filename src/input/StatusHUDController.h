#pragma once

#include "app/model/ActionStatus.h"

#include <QObject>
#include <QPointer>
#include <optional>

namespace mendo {

class MendoAppState;

// Shows the status of the running action in a heads-up panel. Made by the
// application object with no panel and no application state; the launch
// attaches it.
//
// The panel is not built yet: the controller keeps the status it would show.
class StatusHUDController : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Follows `appState`'s status from now on; each value is shown on a later
    // turn of the event loop. A second call replaces the first subscription.
    virtual void attach(MendoAppState& appState);

    MendoAppState* appState() const;
    // The last status shown; nothing before the first one.
    const std::optional<ActionStatus>& shownStatus() const { return m_shown; }

Q_SIGNALS:
    void statusShown(const mendo::ActionStatus& status);

private:
    void show(const ActionStatus& status);

    QPointer<MendoAppState> m_appState;
    QMetaObject::Connection m_subscription;
    std::optional<ActionStatus> m_shown;
};

}  // namespace mendo
