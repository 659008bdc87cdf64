#include "ui/FloatingPanelDismissMonitor.h"

#include "platform/GlobalInputMonitor.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QWindow>

namespace mendo {

FloatingPanelDismissMonitor::FloatingPanelDismissMonitor(
    QWidget* panel, std::function<void()> onDismiss, GlobalInputMonitor& global, QObject* parent)
    : QObject(parent)
    , m_panel(panel)
    , m_onDismiss(std::move(onDismiss))
    , m_global(global)
{
}

FloatingPanelDismissMonitor::~FloatingPanelDismissMonitor()
{
    // An application-wide filter or a global watch left behind would call a
    // dismiss action whose owner may be gone.
    remove();
}

void FloatingPanelDismissMonitor::install()
{
    if (!m_localInstalled && qApp) {
        qApp->installEventFilter(this);
        m_localInstalled = true;
    }
    if (m_globalToken == 0) {
        QPointer<FloatingPanelDismissMonitor> self(this);
        m_globalToken = m_global.addMonitor(GlobalInputEvent::mouseDowns(), [self](const GlobalInputEvent&) {
            QTimer::singleShot(0, self, [self] {
                if (self)
                    self->dismissIfVisible();
            });
        });
    }
}

void FloatingPanelDismissMonitor::remove()
{
    if (m_localInstalled) {
        if (qApp)
            qApp->removeEventFilter(this);
        m_localInstalled = false;
    }
    if (m_globalToken != 0) {
        m_global.removeMonitor(m_globalToken);
        m_globalToken = 0;
    }
}

bool FloatingPanelDismissMonitor::eventFilter(QObject* watched, QEvent* event)
{
    // Each input event reaches its QWindow once before Qt hands it to the
    // widgets (and again to each parent they pass it to): watch only the
    // window's copy.
    auto* window = qobject_cast<QWindow*>(watched);
    if (!window)
        return false;
    LocalInputEvent seen;
    seen.window = window;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        seen.type = LocalInputEvent::Type::mouseDown;
        break;
    case QEvent::KeyPress:
        seen.type = LocalInputEvent::Type::keyDown;
        seen.key = static_cast<QKeyEvent*>(event)->key();
        break;
    default:
        return false;
    }
    QPointer<FloatingPanelDismissMonitor> self(this);
    QTimer::singleShot(0, this, [self, seen] {
        if (self)
            self->handleLocalEvent(seen);
    });
    return false;  // never swallowed
}

void FloatingPanelDismissMonitor::handleLocalEvent(const LocalInputEvent& event)
{
    if (!m_panel || !m_panel->isVisible())
        return;
    if (event.type == LocalInputEvent::Type::keyDown && event.key == Qt::Key_Escape) {
        m_onDismiss();
        return;
    }
    if (belongsToPanel(event.window))
        return;
    if (event.type == LocalInputEvent::Type::mouseDown)
        m_onDismiss();
}

void FloatingPanelDismissMonitor::dismissIfVisible()
{
    if (m_panel && m_panel->isVisible())
        m_onDismiss();
}

bool FloatingPanelDismissMonitor::belongsToPanel(const QWindow* window) const
{
    if (!m_panel || !window)
        return false;
    // A popup's window is transient for the panel's, or its widget is a child
    // of a widget inside the panel.
    for (const QWindow* w = window; w; w = w->transientParent()) {
        if (w == m_panel->windowHandle())
            return true;
    }
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->windowHandle() != window)
            continue;
        for (QWidget* w = top; w; w = w->parentWidget() ? w->parentWidget()->window() : nullptr) {
            if (w == m_panel->window())
                return true;
        }
    }
    return false;
}

}  // namespace mendo
