#include "settings/MainSettingsView.h"

#include "app/MendoAppState.h"
#include "base/EnumTable.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <algorithm>

namespace mendo {

MainSettingsView::MainSettingsView(MainSettingsEnvironment environment, QWidget* parent)
    : QWidget(parent)
    , m_environment(environment)
    , m_pages(new QListWidget)
    , m_heading(new QLabel)
{
    m_pages->setFixedWidth(200);
    m_pages->setFrameShape(QFrame::NoFrame);
    m_pages->setAttribute(Qt::WA_TranslucentBackground);
    m_pages->viewport()->setAutoFillBackground(false);
    QFont headingFont = m_heading->font();
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.6);
    headingFont.setBold(true);
    m_heading->setFont(headingFont);
    m_heading->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(24);
    layout->addWidget(m_pages);
    layout->addWidget(m_heading, 1);

    MendoAppState& state = m_environment.appState;
    showTitles();
    connect(&state, &MendoAppState::settingsChanged, this, [this] { showTitles(); });
    connect(&state, &MendoAppState::selectedSettingsPageChanged, this, &MainSettingsView::showSelectedPage);
    connect(m_pages, &QListWidget::currentRowChanged, this, [this](int row) {
        const auto pages = allCases<SettingsPage>();
        if (row >= 0 && row < int(pages.size()) && pages[row] != m_environment.appState.selectedSettingsPage())
            m_environment.appState.setSelectedSettingsPage(pages[row]);
    });
}

void MainSettingsView::showTitles()
{
    const UiLanguage language = m_environment.appState.settings().uiLanguage;
    const auto pages = allCases<SettingsPage>();
    if (m_pages->count() != int(pages.size())) {
        m_pages->clear();
        for (std::size_t i = 0; i < pages.size(); ++i)
            m_pages->addItem(QString());
    }
    for (std::size_t i = 0; i < pages.size(); ++i)
        m_pages->item(int(i))->setText(localizedTitle(pages[i], language));
    showSelectedPage();
}

void MainSettingsView::showSelectedPage()
{
    const SettingsPage page = m_environment.appState.selectedSettingsPage();
    const auto pages = allCases<SettingsPage>();
    const auto at = std::find(pages.begin(), pages.end(), page);
    m_pages->setCurrentRow(int(at - pages.begin()));
    m_heading->setText(localizedTitle(page, m_environment.appState.settings().uiLanguage));
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
