#pragma once

#include <QObject>
#include <QPointer>

namespace mendo {

class FloatingButtonController;
class MendoAppState;
class QuickPanelController;

// Watches for a fresh text selection (a mouse-up or key-up anywhere) to offer
// the quick panel or the floating button.
//
// The global input monitors are not built yet: starting keeps the references
// and marks the service started.
class SelectionTriggerService : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Does nothing when already started.
    virtual void start(
        MendoAppState& appState, QuickPanelController& quickPanel, FloatingButtonController& floatingButton);
    bool isStarted() const { return m_started; }

private:
    bool m_started = false;
    QPointer<MendoAppState> m_appState;
    QPointer<QuickPanelController> m_quickPanel;
    QPointer<FloatingButtonController> m_floatingButton;
};

}  // namespace mendo
