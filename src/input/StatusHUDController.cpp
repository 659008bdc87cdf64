#include "input/StatusHUDController.h"

#include "app/MendoAppState.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QWidget>

namespace mendo {

namespace {

struct Look {
    QString symbol;
    QString colour;
};

Look lookOf(const ActionStatus& status)
{
    if (status.isRunning())
        return { QStringLiteral("\u25CC"), QStringLiteral("#2f7bf5") };
    if (status.kind() == ActionStatus::Kind::done)
        return { QStringLiteral("\u2714"), QStringLiteral("#2fa84f") };
    return { QStringLiteral("\u26A0"), QStringLiteral("#f08a24") };
}

}  // namespace

StatusHUDController::StatusHUDController(QObject* parent) : QObject(parent) {}

StatusHUDController::~StatusHUDController() = default;

void StatusHUDController::attach(MendoAppState& appState)
{
    m_appState = &appState;
    disconnect(m_subscription);
    m_subscription = connect(
        &appState, &MendoAppState::statusChanged, this, [this](const ActionStatus& status) { show(status); },
        Qt::QueuedConnection);
}

void StatusHUDController::show(const ActionStatus& status)
{
    m_shown = status;
    if (status.isIdle()) {
        if (m_panel)
            m_panel->hide();
    } else {
        if (!m_panel) {
            // Outside the window manager's care, so that it can never take
            // the focus from the field the action works on.
            m_panel = std::make_unique<QWidget>(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                                                             | Qt::WindowDoesNotAcceptFocus
                                                             | Qt::X11BypassWindowManagerHint);
            m_panel->setAttribute(Qt::WA_ShowWithoutActivating);
            m_panel->setFixedSize(panelWidth, panelHeight);
            auto* row = new QHBoxLayout(m_panel.get());
            row->setContentsMargins(16, 13, 16, 13);
            row->setSpacing(10);
            m_symbol = new QLabel(m_panel.get());
            m_text = new QLabel(m_panel.get());
            row->addWidget(m_symbol);
            row->addWidget(m_text, 1);
        }
        const Look look = lookOf(status);
        m_symbol->setText(look.symbol);
        m_symbol->setStyleSheet(QStringLiteral("color: %1; font-size: 18px; font-weight: 600;").arg(look.colour));
        m_text->setText(status.text());
        m_text->setStyleSheet(QStringLiteral("font-size: 14px; font-weight: 600;"));
        // The title carries the text too: it is what screen readers and
        // window lists tell of the panel.
        m_panel->setWindowTitle(status.text());
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QRect area = screen ? screen->availableGeometry() : QRect();
        m_panel->move(area.x() + area.width() / 2 - panelWidth / 2, area.bottom() + 1 - bottomMargin - panelHeight);
        m_panel->show();
        m_panel->raise();
    }
    Q_EMIT statusShown(status);
}

MendoAppState* StatusHUDController::appState() const
{
    return m_appState;
}

}  // namespace mendo
