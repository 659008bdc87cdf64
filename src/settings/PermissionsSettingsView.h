#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QToolButton;

namespace mendo {

class MendoAppState;
struct MainSettingsEnvironment;

// The badge of one grant: "Granted" in green with a filled check mark, or
// "Needs Access" in orange with an exclamation mark, and under it what the
// grant means on this desktop.
class PermissionBadge : public QWidget {
    Q_OBJECT
public:
    explicit PermissionBadge(QWidget* parent = nullptr);

    void showGrant(bool granted, const QString& text, const QString& caption);
    bool granted() const { return m_granted; }
    QString text() const;
    QString caption() const;
    QString symbolName() const;
    QColor color() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    void paintIcon();

    bool m_granted = false;
    QLabel* m_icon;
    QLabel* m_text;
    QLabel* m_caption;
};

// The Permissions page: the two grants and the ways to obtain them. It shows
// the application state's permission state and edits no setting.
class PermissionsSettingsView : public QWidget {
    Q_OBJECT
public:
    explicit PermissionsSettingsView(const MainSettingsEnvironment& environment, QWidget* parent = nullptr);

    PermissionBadge* accessibilityBadge() const { return m_accessibility; }
    PermissionBadge* inputMonitoringBadge() const { return m_inputMonitoring; }
    QToolButton* refreshButton() const { return m_refresh; }
    QToolButton* requestButton() const { return m_request; }
    QToolButton* openAccessibilityButton() const { return m_openAccessibility; }
    QToolButton* openInputMonitoringButton() const { return m_openInputMonitoring; }
    QPushButton* resetButton() const { return m_reset; }
    QLabel* note() const { return m_note; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void showGrants();
    void showDestructiveTone();

    MendoAppState& m_state;
    PermissionBadge* m_accessibility;
    PermissionBadge* m_inputMonitoring;
    QToolButton* m_refresh;
    QToolButton* m_request;
    QToolButton* m_openAccessibility;
    QToolButton* m_openInputMonitoring;
    QPushButton* m_reset;
    QLabel* m_note;
};

QWidget* makePermissionsSettingsView(const MainSettingsEnvironment& environment);

}  // namespace mendo
