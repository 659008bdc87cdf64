#pragma once

#include <QWidget>

class QLabel;
class QListWidget;

namespace mendo {

class AppUpdateManager;
class AssistantPanelController;
class ClipboardHistoryService;
class ClipboardPanelController;
class HotkeyService;
class MendoAppState;
class MenuBarController;
class QuickPanelController;
class StatusHUDController;

// The objects the settings window works with, handed down by the application
// object.
struct MainSettingsEnvironment {
    MendoAppState& appState;
    QuickPanelController& quickPanel;
    StatusHUDController& statusHUD;
    HotkeyService& hotkeys;
    MenuBarController& menuBar;
    ClipboardHistoryService& clipboardHistory;
    ClipboardPanelController& clipboardPanel;
    AssistantPanelController& assistantPanel;
    AppUpdateManager& updateManager;
};

// The main window's content: the settings pages in a side list, the selected
// one beside it. The pages themselves are not built yet; each shows its title.
class MainSettingsView : public QWidget {
    Q_OBJECT
public:
    explicit MainSettingsView(MainSettingsEnvironment environment, QWidget* parent = nullptr);

    const MainSettingsEnvironment& environment() const { return m_environment; }

Q_SIGNALS:
    // The first time the view is shown: the application object's launch
    // runs then.
    void firstShown();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showTitles();
    void showSelectedPage();

    MainSettingsEnvironment m_environment;
    QListWidget* m_pages;
    QLabel* m_heading;
    bool m_shownOnce = false;
};

}  // namespace mendo
