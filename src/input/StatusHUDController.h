#pragma once

#include "model/ActionStatus.h"

#include <QObject>
#include <QPointer>
#include <memory>
#include <optional>

class QLabel;
class QWidget;

namespace mendo {

class MendoAppState;

// Shows the status of the running action in a heads-up panel. Made by the
// application object with no panel and no application state; the launch
// attaches it.
// The panel is a small window near the bottom of the primary screen that
// never takes the focus; idle hides it.
class StatusHUDController : public QObject {
    Q_OBJECT
public:
    static constexpr int panelWidth = 260;
    static constexpr int panelHeight = 72;
    // Between the panel and the bottom of the screen's free area.
    static constexpr int bottomMargin = 82;

    explicit StatusHUDController(QObject* parent = nullptr);
    ~StatusHUDController() override;

    // Follows `appState`'s status from now on; each value is shown on a later
    // turn of the event loop. A second call replaces the first subscription.
    virtual void attach(MendoAppState& appState);

    MendoAppState* appState() const;
    // The last status shown; nothing before the first one.
    const std::optional<ActionStatus>& shownStatus() const { return m_shown; }
    // None before the first status other than idle.
    QWidget* panel() const { return m_panel.get(); }

Q_SIGNALS:
    void statusShown(const mendo::ActionStatus& status);

private:
    void show(const ActionStatus& status);

    QPointer<MendoAppState> m_appState;
    QMetaObject::Connection m_subscription;
    std::optional<ActionStatus> m_shown;
    std::unique_ptr<QWidget> m_panel;
    QLabel* m_symbol = nullptr;
    QLabel* m_text = nullptr;
};

}  // namespace mendo
