#pragma once

#include "model/AIReplyStyle.h"
#include "model/ActionStatus.h"
#include "model/MendoSettings.h"
#include "model/PermissionState.h"
#include "model/PromptStyle.h"
#include "model/QuickAction.h"
#include "model/SettingsValueTypes.h"
#include "model/StatusResetSchedule.h"
#include "base/Async.h"
#include "engine/PermissionService.h"

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace mendo {

class ActionDriver;
class ClipboardHistoryClearing;
class Clock;
class FocusedTextAccess;
class KeyboardLayoutService;
class NativeSettingsStore;
class SelectionTransfer;
class SystemLog;
class SystemTransparency;
class TextActionEngine;
class Timer;

// The one observable state at the centre of MendoAI: the current settings,
// saved at every change, the working copies of the lists views and services
// read, the status of the action in progress, the permission grants, the
// sample text and latest output of the settings window, and the surface mode
// the desktop asks for. Every field notifies on every assignment, changed or
// not. Main thread only.
class MendoAppState : public QObject {
    Q_OBJECT
public:
    struct Services {
        Clock& clock;
        NativeSettingsStore& settingsStore;
        SystemTransparency& transparency;
        PermissionService& permissions;
        SelectionTransfer& selection;
        FocusedTextAccess& focusedText;
        KeyboardLayoutService& layouts;
        TextActionEngine& engine;
        SystemLog* log = nullptr;
    };

    static inline const QString initialSampleText = QStringLiteral("Hi, how are you?");
    static constexpr Millis systemSurfacePollInterval { 750 };
    static constexpr Millis permissionResetSettleDelay { 350 };

    // Loads the settings without saving them.
    explicit MendoAppState(Services services, QObject* parent = nullptr);
    ~MendoAppState() override;

    SettingsPage selectedSettingsPage() const { return m_selectedSettingsPage; }
    void setSelectedSettingsPage(SettingsPage page);
    const QList<QuickAction>& quickActions() const { return m_quickActions; }
    void setQuickActions(QList<QuickAction> actions);
    const QList<PromptStyle>& promptStyles() const { return m_promptStyles; }
    void setPromptStyles(QList<PromptStyle> styles);
    const QList<AIReplyStyle>& aiReplyStyles() const { return m_aiReplyStyles; }
    void setAIReplyStyles(QList<AIReplyStyle> styles);
    // Every assignment schedules the return to idle of a done or failed status.
    const ActionStatus& status() const { return m_status; }
    void setStatus(ActionStatus status);
    const PermissionState& permissionState() const { return m_permissionState; }
    const QString& sampleText() const { return m_sampleText; }
    void setSampleText(QString text);
    const QString& latestOutput() const { return m_latestOutput; }
    void setLatestOutput(QString text);
    const QString& targetLanguage() const { return m_targetLanguage; }
    void setTargetLanguage(QString language);
    SurfaceMode systemSurfaceMode() const { return m_systemSurfaceMode; }

    // Every assignment, and every edit, saves the whole record and copies the
    // style lists, quick actions and target language from it.
    const MendoSettings& settings() const { return m_settings; }
    void setSettings(MendoSettings settings);
    void editSettings(const std::function<void(MendoSettings&)>& edit);

    // The title of an action in the interface language.
    QString title(const QuickAction& action) const;
    // A built-in style's fixed title in the interface language; else its name.
    QString styleTitle(const PromptStyle& style) const;

    // Empties the clipboard history and reports it in the status.
    void clearClipboardHistory();
    void setClipboardHistory(ClipboardHistoryClearing* history) { m_clipboardHistory = history; }

    // Follows the desktop's surface mode: at once, on every change of the
    // user defaults, whenever MendoAI becomes active and every 0.75 s. A
    // second call only refreshes.
    void startSystemSurfaceObserver();
    bool isObservingSystemSurface() const { return m_observingSystemSurface; }

    // The action driver: returns at once; the run reports in the status.
    void run(const QuickAction& action, bool pasteResult, bool updateSampleText);

    // Style editing from the settings window.
    void addPromptStyle();
    void deletePromptStyle(const PromptStyle& style);
    void updatePromptStyle(const PromptStyle& style);
    void addAIReplyStyle();
    void deleteAIReplyStyle(const AIReplyStyle& style);
    void updateAIReplyStyle(const AIReplyStyle& style);

    // Permissions: each returns at once and finishes in a task of its own.
    void refreshPermissions();
    void requestPermissions();
    void resetMendoPermissions(bool requestAgain);
    // Opens the desktop's accessibility settings; where it has none, MendoAI's
    // own window on its permissions page.
    void openPermissionSettings(PermissionSettingsTarget target);
    void setMainWindowOpener(std::function<void()> showMainWindow) { m_showMainWindow = std::move(showMainWindow); }

Q_SIGNALS:
    void selectedSettingsPageChanged();
    void quickActionsChanged();
    void promptStylesChanged();
    void aiReplyStylesChanged();
    void statusChanged(const mendo::ActionStatus& status);
    void permissionStateChanged();
    void sampleTextChanged();
    void latestOutputChanged();
    void targetLanguageChanged();
    void settingsChanged();
    void systemSurfaceModeChanged();

private:
    void settingsDidChange();
    void copyListsFromSettings();
    void refreshSystemSurfaceMode();
    void setPermissionState(PermissionState state);
    QString localized(const QString& en, const QString& ru) const;
    Task<> refreshPermissionsTask();
    Task<> requestPermissionsTask();
    Task<> resetPermissionsTask(bool requestAgain);

    Services m_services;
    SettingsPage m_selectedSettingsPage = SettingsPage::general;
    QList<QuickAction> m_quickActions = QuickAction::defaultActions();
    QList<PromptStyle> m_promptStyles;
    QList<AIReplyStyle> m_aiReplyStyles;
    ActionStatus m_status;
    PermissionState m_permissionState;
    QString m_sampleText = initialSampleText;
    QString m_latestOutput;
    QString m_targetLanguage = QStringLiteral("English");
    MendoSettings m_settings;
    SurfaceMode m_systemSurfaceMode = SurfaceMode::translucent;

    StatusResetSchedule m_statusReset;
    ClipboardHistoryClearing* m_clipboardHistory = nullptr;
    std::function<void()> m_showMainWindow;
    QMetaObject::Connection m_defaultsObserver;
    QMetaObject::Connection m_appActiveObserver;
    bool m_observingSystemSurface = false;
    std::unique_ptr<Timer> m_systemSurfaceTimer;
    std::unique_ptr<ActionDriver> m_driver;
};

}  // namespace mendo
