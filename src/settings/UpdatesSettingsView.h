#pragma once

#include "base/BiText.h"
#include "base/UiLanguage.h"
#include "ui/OutlinedBox.h"
#include "updates/AppUpdateResponse.h"

#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QWidget>
#include <optional>

class QCheckBox;
class QLabel;

namespace mendo {

class AppUpdateManager;
class MendoAppState;
struct MainSettingsEnvironment;

// The Updates page: which version runs and what the update service offers,
// a check on request, the hand-over of the download, the two update
// settings, and the "Updates" alert through which the update manager
// announces a new version or a failed check. The page keeps no state of its
// own: everything it shows is the update manager's.
class UpdatesSettingsView : public QWidget {
    Q_OBJECT
public:
    enum class Tint { secondary, orange, blue, green };
    struct StatusLine {
        BiText title;
        QString iconName;
        Tint tint = Tint::secondary;
    };

    explicit UpdatesSettingsView(const MainSettingsEnvironment& environment, QWidget* parent = nullptr);
    ~UpdatesSettingsView() override;

    // The state line: the first matching of checking, forced update, update
    // available, never checked, up to date. The tint never looks at the
    // check in progress: it keeps the colour of the last result.
    static StatusLine statusLine(const AppUpdateSnapshot& snapshot, bool isChecking);
    static QString availableVersionTitle(const AppUpdateSnapshot& snapshot, UiLanguage language);
    // Local time, "Nov 1, 2026, 3:04 PM" / "1 нояб. 2026 г., 15:04".
    static QString lastCheckedTitle(const std::optional<QDateTime>& checkedAt, UiLanguage language);
    static QColor tintColor(Tint tint, const QPalette& palette);

    QLabel* statusIcon() const { return m_statusIcon; }
    QLabel* statusTitle() const { return m_statusTitle; }
    const QString& statusIconName() const { return m_statusIconName; }
    Tint statusTint() const { return m_statusTint; }
    QPushButton* checkButton() const { return m_checkButton; }
    QLabel* currentVersionValue() const { return m_currentVersion; }
    QLabel* availableVersionValue() const { return m_availableVersion; }
    QLabel* lastCheckedValue() const { return m_lastChecked; }
    QLabel* messageLabel() const { return m_message; }
    QWidget* releaseNotesBox() const { return m_notesBox; }
    QLabel* releaseNotes() const { return m_notes; }
    QPushButton* installButton() const { return m_install; }
    QCheckBox* automaticChecksToggle() const { return m_automaticChecks; }
    QCheckBox* notificationsToggle() const { return m_notifications; }
    QLabel* note() const { return m_note; }
    // The alert while it is open; null otherwise.
    QMessageBox* alert() const { return m_alert; }
    QPushButton* alertOkButton() const { return m_alertOk; }
    QPushButton* alertInstallButton() const { return m_alertInstall; }

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void showState();
    void showStatusLine();
    void followAlert();
    void openAlert(const QString& text);
    void alertFinished();

    MendoAppState& m_state;
    AppUpdateManager& m_manager;
    QLabel* m_statusIcon;
    QLabel* m_statusTitle;
    QPushButton* m_checkButton;
    QLabel* m_currentVersion;
    QLabel* m_availableVersion;
    QLabel* m_lastChecked;
    QLabel* m_message;
    OutlinedBox* m_notesBox;
    QLabel* m_notesTitle;
    QLabel* m_notes;
    QPushButton* m_install;
    QCheckBox* m_automaticChecks;
    QCheckBox* m_notifications;
    QLabel* m_note;
    QString m_statusIconName;
    Tint m_statusTint = Tint::secondary;
    QPointer<QMessageBox> m_alert;
    QPointer<QPushButton> m_alertOk;
    QPointer<QPushButton> m_alertInstall;
};

// The Updates page of the settings window.
QWidget* makeUpdatesSettingsView(const MainSettingsEnvironment& environment);

}  // namespace mendo
