#include "ui/FloatingPanel.h"

#include "platform/PanelDesktop.h"
#include "ui/GlassSurface.h"
#include "ui/SavedPanelSize.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <QWindow>

namespace mendo {

namespace {

// How far in from the window's edge a press starts a resize.
constexpr int resizeBand = 5;

Qt::WindowFlags flagsFor(FloatingPanel::Focus focus)
{
    Qt::WindowFlags flags = Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint;
    if (focus == FloatingPanel::Focus::never)
        flags |= Qt::WindowDoesNotAcceptFocus;
    return flags;
}

}  // namespace

FloatingPanel::FloatingPanel(PanelDesktop& desktop, Focus focus, QWidget* parent)
    : QWidget(parent, flagsFor(focus))
    , m_desktop(desktop)
    , m_focus(focus)
{
    setAttribute(Qt::WA_ShowWithoutActivating, focus != Focus::onPresent);
    setAttribute(Qt::WA_AlwaysShowToolTips);
    // Decided once: a window's visual cannot change after it exists.
    m_translucent = desktop.compositorRunning();
    setAttribute(Qt::WA_TranslucentBackground, m_translucent);
    setAttribute(Qt::WA_NoSystemBackground, m_translucent);
}

FloatingPanel::~FloatingPanel() = default;

void FloatingPanel::setSurface(MendoFloatingSurface* surface, int margin)
{
    delete layout();
    delete m_surface;
    m_surface = surface;
    m_margin = margin;
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(margin, margin, margin, margin);
    box->setSpacing(0);
    box->addWidget(surface);
    surface->setTranslucentWindow(m_translucent);
    updateShape();
}

void FloatingPanel::setOutsideWindowManager(bool outside)
{
    m_outsideWindowManager = outside;
    setWindowFlag(Qt::X11BypassWindowManagerHint, outside);
}

void FloatingPanel::saveSizeTo(SavedPanelSize* saved)
{
    saveSizeWith([saved](QSize size) { saved->save(QSizeF(size)); });
}

void FloatingPanel::saveSizeWith(std::function<void(QSize)> save)
{
    m_saveSize = std::move(save);
}

void FloatingPanel::moveNearPointer(PointerOffsets offsets)
{
    move(placeNearPointer(m_desktop.pointerPosition(), m_desktop.monitors(), size(), offsets));
}

void FloatingPanel::present()
{
    watchWindow();
    show();
    raise();
    if (!m_outsideWindowManager)
        m_desktop.keepOnEveryDesktop(winId());
    if (m_focus == Focus::onPresent) {
        // Asked once the window manager has mapped the window: a request for
        // a window it has not mapped yet is dropped.
        if (windowHandle() && windowHandle()->isExposed())
            m_desktop.activate(winId());
        else
            m_activateWhenExposed = true;
    }
}

void FloatingPanel::watchWindow()
{
    if (m_watching)
        return;
    winId();  // makes the native window, and with it the handle to watch
    if (QWindow* handle = windowHandle()) {
        handle->installEventFilter(this);
        m_watching = true;
    }
}

bool FloatingPanel::event(QEvent* event)
{
    if (event->type() == QEvent::WinIdChange)
        m_watching = false;
    return QWidget::event(event);
}

Qt::Edges FloatingPanel::edgesAt(QPoint position) const
{
    if (minimumSize() == maximumSize())
        return {};
    Qt::Edges edges;
    if (position.x() < resizeBand)
        edges |= Qt::LeftEdge;
    if (position.x() >= width() - resizeBand)
        edges |= Qt::RightEdge;
    if (position.y() < resizeBand)
        edges |= Qt::TopEdge;
    if (position.y() >= height() - resizeBand)
        edges |= Qt::BottomEdge;
    return edges;
}

bool FloatingPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != windowHandle())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Expose:
        if (m_activateWhenExposed && windowHandle()->isExposed()) {
            m_activateWhenExposed = false;
            m_desktop.activate(winId());
        }
        break;
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (m_focus == Focus::onClick && QGuiApplication::focusWindow() != windowHandle())
            m_desktop.activate(winId());
        const Qt::Edges edges = edgesAt(mouse->position().toPoint());
        if (mouse->button() == Qt::LeftButton && edges && windowHandle()->startSystemResize(edges))
            return true;  // the window manager resizes; the view has no use for the press
        break;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->buttons() != Qt::NoButton)
            break;
        const Qt::Edges edges = edgesAt(mouse->position().toPoint());
        Qt::CursorShape shape = Qt::ArrowCursor;
        if (edges == (Qt::LeftEdge | Qt::TopEdge) || edges == (Qt::RightEdge | Qt::BottomEdge))
            shape = Qt::SizeFDiagCursor;
        else if (edges == (Qt::RightEdge | Qt::TopEdge) || edges == (Qt::LeftEdge | Qt::BottomEdge))
            shape = Qt::SizeBDiagCursor;
        else if (edges & (Qt::LeftEdge | Qt::RightEdge))
            shape = Qt::SizeHorCursor;
        else if (edges & (Qt::TopEdge | Qt::BottomEdge))
            shape = Qt::SizeVerCursor;
        if (edges)
            windowHandle()->setCursor(shape);
        else
            windowHandle()->unsetCursor();
        break;
    }
    default:
        break;
    }
    return false;
}

void FloatingPanel::closeEvent(QCloseEvent* event)
{
    // A panel is made once; closing only puts it away.
    event->ignore();
    hide();
    Q_EMIT closeRequested();
}

void FloatingPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    updateShape();
    if (m_saveSize && isVisible())
        m_saveSize(size());
}

void FloatingPanel::updateShape()
{
    if (m_translucent || !m_surface) {
        clearMask();
        return;
    }
    // From the window's own size: the surface may not be laid out yet.
    const QRectF card(m_margin, m_margin, width() - 2 * m_margin, height() - 2 * m_margin);
    setMask(
        QRegion(LiquidGlassSurfaceModifier::shape(card, m_surface->glass().cornerRadius).toFillPolygon().toPolygon()));
}

}  // namespace mendo
