#pragma once

#include "model/SettingsValueTypes.h"
#include "settings/MainSettingsEnvironment.h"

#include <QHash>
#include <QWidget>
#include <optional>

class QLabel;
class QScrollArea;
class QStackedWidget;

namespace mendo {

class SettingsSidebarBackdrop;
class SettingsSidebarView;
class SettingsWindowBackdrop;

// The main window's content, the settings window: the sidebar of pages and,
// beside it, the selected page under its title. The selected page is the
// application state's; each page is made the first time it is selected and
// opens at its top whenever it is selected. The look (colour scheme, tint and
// both backdrops) follows the appearance setting and the desktop's surface
// mode. The window keeps no settings of its own.
class MainSettingsView : public QWidget {
    Q_OBJECT
public:
    explicit MainSettingsView(MainSettingsEnvironment environment, QWidget* parent = nullptr);

    const MainSettingsEnvironment& environment() const { return m_environment; }

    SettingsSidebarView* sidebar() const { return m_sidebar; }
    SettingsWindowBackdrop* windowBackdrop() const { return m_windowBackdrop; }
    SettingsSidebarBackdrop* sidebarBackdrop() const { return m_sidebarBackdrop; }
    QLabel* header() const { return m_header; }
    // The page shown now, and a page made before (null until selected once).
    QWidget* currentPage() const;
    QWidget* page(SettingsPage page) const;
    // The scroll view of the page shown now.
    QScrollArea* currentScrollArea() const;

Q_SIGNALS:
    // The first time the view is shown: the application object's launch
    // runs then.
    void firstShown();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void showSelectedPage();
    void showHeader();
    void applyLook();

    MainSettingsEnvironment m_environment;
    SettingsWindowBackdrop* m_windowBackdrop;
    SettingsSidebarBackdrop* m_sidebarBackdrop;
    SettingsSidebarView* m_sidebar;
    QLabel* m_header;
    QStackedWidget* m_pages;
    QHash<int, QScrollArea*> m_scrollAreas;
    std::optional<AppearanceMode> m_appliedMode;
    bool m_applyingLook = false;
    bool m_shownOnce = false;
};

}  // namespace mendo
