#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;

namespace mendo {

struct MainSettingsEnvironment;

// The General page: the appearance, the interface language, the quick
// panel's size, and the three switches of the window and the tray. Every
// control shows and writes one field of the settings; the page keeps nothing.
class GeneralSettingsView : public QWidget {
    Q_OBJECT
public:
    explicit GeneralSettingsView(const MainSettingsEnvironment& environment, QWidget* parent = nullptr);

    QComboBox* appearancePicker() const { return m_appearance; }
    QComboBox* languagePicker() const { return m_language; }
    QComboBox* menuSizePicker() const { return m_menuSize; }
    QCheckBox* openOnLaunchToggle() const { return m_openOnLaunch; }
    QCheckBox* trayIconToggle() const { return m_trayIcon; }
    QCheckBox* keepInTrayToggle() const { return m_keepInTray; }

private:
    QComboBox* m_appearance;
    QComboBox* m_language;
    QComboBox* m_menuSize;
    QCheckBox* m_openOnLaunch;
    QCheckBox* m_trayIcon;
    QCheckBox* m_keepInTray;
};

QWidget* makeGeneralSettingsView(const MainSettingsEnvironment& environment);

}  // namespace mendo
