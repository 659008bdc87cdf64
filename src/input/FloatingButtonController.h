#pragma once

#include <QObject>
#include <QPointer>

namespace mendo {

class MendoAppState;
class QuickPanelController;

// The small button that offers the quick panel next to a fresh selection.
// The launch sets its two references directly.
//
// The button's panel is not built yet, so there is never anything to show.
class FloatingButtonController : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    QPointer<MendoAppState> appState;
    QPointer<QuickPanelController> quickPanel;

    bool isPanelVisible() const { return m_panelVisible; }
    void orderOut() { m_panelVisible = false; }

private:
    bool m_panelVisible = false;
};

}  // namespace mendo
