#include "settings/MainSettingsView.h"

#include "app/MendoAppState.h"
#include "settings/SettingsBackdrops.h"
#include "settings/SettingsPageFactory.h"
#include "settings/SettingsSidebar.h"
#include "ui/MendoTheme.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace mendo {

namespace {

// The window manager draws the title bar above the window, so the content
// starts a little below the window's top edge, not under a title bar.
constexpr int topInset = 24;
constexpr int leadingInset = 26;
constexpr int trailingInset = 28;
constexpr int bottomInset = 24;
constexpr int sidebarWidth = 220;
constexpr int pageMaximumWidth = 700;

}  // namespace

MainSettingsView::MainSettingsView(MainSettingsEnvironment environment, QWidget* parent)
    : QWidget(parent)
    , m_environment(environment)
    , m_windowBackdrop(new SettingsWindowBackdrop(this))
    , m_sidebarBackdrop(new SettingsSidebarBackdrop)
    , m_sidebar(new SettingsSidebarView(environment.appState))
    , m_header(new QLabel)
    , m_pages(new QStackedWidget)
{
    setObjectName(QStringLiteral("mainSettingsView"));
    m_windowBackdrop->lower();

    // The sidebar column: the list over its own backdrop.
    m_sidebarBackdrop->setFixedWidth(sidebarWidth);
    auto* sidebarLayout = new QVBoxLayout(m_sidebarBackdrop);
    sidebarLayout->setContentsMargins(0, 0, 0, 0);
    sidebarLayout->addWidget(m_sidebar);

    // The detail column: the page's title, then the page in its scroll view.
    auto* detail = new QWidget;
    detail->setObjectName(QStringLiteral("settingsDetail"));
    auto* detailLayout = new QVBoxLayout(detail);
    detailLayout->setContentsMargins(0, 16, 0, 2);
    detailLayout->setSpacing(14);
    m_header->setObjectName(QStringLiteral("settingsHeader"));
    m_header->setFont(theme::sizedFont(m_header->font(), 19, QFont::DemiBold));
    m_header->setFixedHeight(30);
    m_header->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    detailLayout->addWidget(m_header);
    detailLayout->addWidget(m_pages, 1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(leadingInset, topInset, trailingInset, bottomInset);
    layout->setSpacing(14);
    layout->addWidget(m_sidebarBackdrop);
    layout->addWidget(detail, 1);

    MendoAppState& state = m_environment.appState;
    applyLook();
    showSelectedPage();
    connect(&state, &MendoAppState::settingsChanged, this, [this] {
        applyLook();
        showHeader();
    });
    connect(&state, &MendoAppState::systemSurfaceModeChanged, this, &MainSettingsView::applyLook);
    connect(&state, &MendoAppState::selectedSettingsPageChanged, this, &MainSettingsView::showSelectedPage);
}

QWidget* MainSettingsView::page(SettingsPage page) const
{
    QScrollArea* area = m_scrollAreas.value(int(page));
    return area ? area->property("settingsPage").value<QWidget*>() : nullptr;
}

QWidget* MainSettingsView::currentPage() const
{
    return page(m_environment.appState.selectedSettingsPage());
}

QScrollArea* MainSettingsView::currentScrollArea() const
{
    return m_scrollAreas.value(int(m_environment.appState.selectedSettingsPage()));
}

void MainSettingsView::showSelectedPage()
{
    const SettingsPage selected = m_environment.appState.selectedSettingsPage();
    QScrollArea* area = m_scrollAreas.value(int(selected));
    if (!area) {
        area = new QScrollArea;
        area->setObjectName(QStringLiteral("settingsPageScroll-") + rawValue(selected));
        area->setFrameShape(QFrame::NoFrame);
        area->setWidgetResizable(true);
        area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        area->viewport()->setAutoFillBackground(false);
        // The page: at most 700 wide, held to the leading edge, at least as
        // tall as the view so that a page may fill it.
        auto* host = new QWidget;
        host->setAutoFillBackground(false);
        auto* hostLayout = new QHBoxLayout(host);
        hostLayout->setContentsMargins(0, 0, 0, 0);
        hostLayout->setSpacing(0);
        auto* column = new QWidget;
        column->setMaximumWidth(pageMaximumWidth);
        auto* columnLayout = new QVBoxLayout(column);
        columnLayout->setContentsMargins(0, 0, 14, 20);
        columnLayout->setSpacing(14);
        QWidget* view = settingsPageFactory(selected)(m_environment);
        view->setObjectName(QStringLiteral("settingsPage-") + rawValue(selected));
        columnLayout->addWidget(view, 1);
        hostLayout->addWidget(column, 1);
        hostLayout->addStretch(0);
        area->setWidget(host);
        // Made to fill by the scroll area; the window's backdrop shows through.
        host->setAutoFillBackground(false);
        area->setProperty("settingsPage", QVariant::fromValue<QWidget*>(view));
        m_scrollAreas.insert(int(selected), area);
        m_pages->addWidget(area);
    }
    // Each selection shows the page from its top.
    area->verticalScrollBar()->setValue(0);
    area->horizontalScrollBar()->setValue(0);
    m_pages->setCurrentWidget(area);
    showHeader();
}

void MainSettingsView::showHeader()
{
    const MendoAppState& state = m_environment.appState;
    const QString title = localizedTitle(state.selectedSettingsPage(), state.settings().uiLanguage);
    if (m_header->text() != title)
        m_header->setText(title);
}

void MainSettingsView::applyLook()
{
    const MendoAppState& state = m_environment.appState;
    const AppearanceMode mode = state.settings().appearanceMode;
    const SurfaceMode surface = state.systemSurfaceMode();
    m_windowBackdrop->setLook(mode, surface);
    m_sidebarBackdrop->setLook(mode, surface);
    if (m_appliedMode == mode)
        return;
    m_appliedMode = mode;
    // The liquid appearances draw dark with their accent as the tint; the
    // system one follows the desktop's palette.
    m_applyingLook = true;
    setPalette(theme::palette(mode, QApplication::palette()));
    m_applyingLook = false;
}

void MainSettingsView::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ApplicationPaletteChange && !m_applyingLook) {
        m_appliedMode.reset();
        applyLook();
    }
}

void MainSettingsView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_windowBackdrop->setGeometry(rect());
}

void MainSettingsView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    Q_EMIT firstShown();
}

}  // namespace mendo
