#include "trigger/FloatingButtonController.h"

#include "app/MendoAppState.h"
#include "panels/QuickPanelController.h"
#include "platform/PanelDesktop.h"
#include "ui/FloatingPanel.h"
#include "ui/NativeMaterials.h"
#include "ui/SymbolRegistry.h"

#include <QPainter>
#include <QStackedLayout>

namespace mendo {

namespace {

constexpr int buttonSide = 42;
constexpr int boltSize = 20;

// The bolt in a 42 x 42 circle that takes the clicks.
class BoltButton final : public QAbstractButton {
public:
    explicit BoltButton(QWidget* parent)
        : QAbstractButton(parent)
    {
        setObjectName(QStringLiteral("floatingButton"));
        setFixedSize(buttonSide, buttonSide);
        setCursor(Qt::PointingHandCursor);
        // Read out by screen readers; never shown.
        setAccessibleName(QStringLiteral("MendoAI"));
    }

    bool hitButton(const QPoint& position) const override
    {
        const QPointF offset = QPointF(position) - QRectF(rect()).center();
        return offset.x() * offset.x() + offset.y() * offset.y() <= (buttonSide / 2.0) * (buttonSide / 2.0);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        // The system's yellow in the scheme the surface is drawn in.
        const QColor yellow = theme::yellow(theme::colorSchemeOf(palette()));
        const QPixmap bolt = SymbolRegistry::pixmap(QStringLiteral("bolt.fill"), boltSize, yellow, devicePixelRatioF());
        p.drawPixmap((width() - boltSize) / 2, (height() - boltSize) / 2, bolt);
    }
};

}  // namespace

FloatingButtonView::FloatingButtonView(
    AppearanceMode mode, SurfaceMode surfaceMode, std::function<void()> onClick, QWidget* parent)
    : MendoFloatingSurface(mode, surfaceMode, cornerRadius, parent)
{
    setObjectName(QStringLiteral("floatingButtonView"));
    // A 54-pixel card has no room for a shadow inside its window.
    setShadow(false);
    // The ring around the button moves the panel.
    auto* layers = new QStackedLayout(content());
    layers->setStackingMode(QStackedLayout::StackAll);
    auto* handle = new WindowDragHandle(content());
    auto* holder = new QWidget(content());
    holder->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    m_button = new BoltButton(holder);
    m_button->move((size - buttonSide) / 2, (size - buttonSide) / 2);
    // The holder passes clicks outside the button on to the drag handle.
    holder->setMask(QRegion(m_button->geometry(), QRegion::Ellipse));
    layers->addWidget(handle);
    layers->addWidget(holder);
    holder->raise();
    connect(m_button, &QAbstractButton::clicked, this, [onClick = std::move(onClick)] { onClick(); });
}

FloatingButtonController::FloatingButtonController(PanelDesktop& desktop, QObject* parent)
    : QObject(parent)
    , m_desktop(desktop)
{
}

FloatingButtonController::~FloatingButtonController() = default;

void FloatingButtonController::show(MendoAppState& state, QuickPanelController& panel)
{
    if (!state.settings().floatingButtonVisible) {
        orderOut();
        return;
    }
    appState = &state;
    quickPanel = &panel;
    const bool wasVisible = isPanelVisible();
    if (!m_panel) {
        m_panel = std::make_unique<FloatingPanel>(m_desktop, FloatingPanel::Focus::never);
        m_panel->setObjectName(QStringLiteral("floatingButton"));
        m_panel->setWindowTitle(QStringLiteral("MendoAI"));
        m_panel->setFixedSize(FloatingButtonView::size, FloatingButtonView::size);
        m_panel->setSurface(new FloatingButtonView(state.settings().appearanceMode, state.systemSurfaceMode(),
                                [this] { click(); }),
            0);
    }
    view()->setAppearance(state.settings().appearanceMode, state.systemSurfaceMode());
    if (!wasVisible)
        positionNearMouse();
    m_panel->present();
}

void FloatingButtonController::orderOut()
{
    if (m_panel)
        m_panel->hide();
}

void FloatingButtonController::click()
{
    if (!appState || !quickPanel)
        return;
    orderOut();
    quickPanel->show(*appState);
}

bool FloatingButtonController::isPanelVisible() const
{
    return m_panel && m_panel->isVisible();
}

FloatingButtonView* FloatingButtonController::view() const
{
    return m_panel ? static_cast<FloatingButtonView*>(m_panel->surface()) : nullptr;
}

void FloatingButtonController::positionNearMouse()
{
    if (!m_panel)
        return;
    m_panel->moveNearPointer(PointerOffsets::floatingButton());
}

}  // namespace mendo
