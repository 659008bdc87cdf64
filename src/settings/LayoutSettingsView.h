#pragma once

#include <QList>
#include <QUuid>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QToolButton;
class QVBoxLayout;

namespace mendo {

class ApplicationIcons;
class DialogApplicationChooser;
class HotkeyRecorderField;
class LayoutSettingsModel;
class MendoAppState;
class SettingsTexts;
struct AppLayoutRule;
struct MainSettingsEnvironment;

// One rule of the Layout page: the application's icon, name and id, the
// layout picker, the switch and the trash button.
class AppLayoutRuleRow : public QWidget {
    Q_OBJECT
public:
    AppLayoutRuleRow(const AppLayoutRule& rule, LayoutSettingsModel& model, MendoAppState& state,
        SettingsTexts& texts, ApplicationIcons& icons, QWidget* parent = nullptr);

    QUuid ruleId() const { return m_id; }
    QLabel* icon() const { return m_icon; }
    QLabel* name() const { return m_name; }
    QLabel* identifier() const { return m_identifier; }
    QComboBox* layoutPicker() const { return m_layout; }
    QCheckBox* enabledToggle() const { return m_enabled; }
    QToolButton* removeButton() const { return m_remove; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void paintTrash();

    QUuid m_id;
    QLabel* m_icon;
    QLabel* m_name;
    QLabel* m_identifier;
    QComboBox* m_layout;
    QCheckBox* m_enabled;
    QToolButton* m_remove;
};

// The Layout page: the two layouts of the wrong-layout fix with their
// detection, its switch and hotkey, and the per-application layout rules.
class LayoutSettingsView : public QWidget {
    Q_OBJECT
public:
    explicit LayoutSettingsView(const MainSettingsEnvironment& environment, QWidget* parent = nullptr);
    ~LayoutSettingsView() override;

    LayoutSettingsModel& model() const { return *m_model; }
    QPushButton* detectButton() const { return m_detect; }
    QComboBox* latinPicker() const { return m_latin; }
    QComboBox* nativePicker() const { return m_native; }
    QCheckBox* autoSwitchToggle() const { return m_autoSwitch; }
    HotkeyRecorderField* hotkeyField() const { return m_hotkey; }
    QCheckBox* perAppToggle() const { return m_perApp; }
    QLabel* footnote() const { return m_footnote; }
    QPushButton* addButton() const { return m_add; }
    QList<AppLayoutRuleRow*> ruleRows() const;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void showRules();
    void paintPlus();

    MendoAppState& m_state;
    SettingsTexts* m_texts;
    std::unique_ptr<DialogApplicationChooser> m_chooser;
    LayoutSettingsModel* m_model;
    QPushButton* m_detect;
    QComboBox* m_latin;
    QComboBox* m_native;
    QCheckBox* m_autoSwitch;
    HotkeyRecorderField* m_hotkey;
    QCheckBox* m_perApp;
    QLabel* m_footnote;
    QWidget* m_rulesHolder;
    QVBoxLayout* m_rules;
    QPushButton* m_add;
    // What the rows show of each rule besides their bindings; a change of it
    // rebuilds them.
    QList<QStringList> m_shownRules;
};

QWidget* makeLayoutSettingsView(const MainSettingsEnvironment& environment);

}  // namespace mendo
