#pragma once

#include "app/AppStateFollower.h"
#include "base/Async.h"
#include "engine/BackendClient.h"
#include "model/ActionStatus.h"
#include "ui/SavedPanelSize.h"

#include <QSizeF>
#include <QString>
#include <memory>

class QNetworkAccessManager;

namespace mendo {

class AccountCredentials;
class Clock;
class FloatingPanel;
class FloatingPanelDismissMonitor;
class FocusService;
class FocusedTextAccess;
class GlobalInputMonitor;
class LanguageDetector;
class PanelDesktop;
class Pasteboard;
class SelectionTransfer;
class SystemLog;
class TranslationPreviewPanel;
class UserDefaults;

// What the translation preview needs of the rest of MendoAI. All must outlive
// the controller.
struct TranslationPreviewServices {
    Clock& clock;
    UserDefaults& defaults;
    // The general clipboard: "From Clipboard" reads it, "Copy" writes it.
    Pasteboard& pasteboard;
    FocusService& focus;
    // The selection of the remembered application through accessibility.
    FocusedTextAccess& accessibility;
    // The copy-based read and the paste back into the remembered application.
    SelectionTransfer& selection;
    PanelDesktop& desktop;
    GlobalInputMonitor& globalInput;
    // The panel's own service client is made from these, as the engine's is.
    QString serviceURL;
    AccountCredentials& credentials;
    QNetworkAccessManager& network;
    const LanguageDetector& languages;
    SystemLog* log = nullptr;
};

// The translation preview panel: the selected text of the application in
// front (or the clipboard's) beside its translation into a chosen language,
// to be copied or inserted over the selection. The model of the panel's view
// and the owner of its window; one per process, made at start-up and
// attached once. Every operation runs on the main thread; reads and
// translations finish in tasks of their own.
//
// Each selection read, clipboard translation and translation takes a new
// stamp, and an outcome that arrives after a newer one was started is
// dropped: the panel never shows (nor inserts) the translation of a text
// other than the one on screen, and only the newest operation ends
// `isRunning`.
class TranslationPreviewPanelController : public AppStateFollower {
    Q_OBJECT
public:
    static constexpr QSizeF minPanelSize { 520, 360 };
    static constexpr QSizeF defaultPanelSize { 680, 460 };
    static constexpr QSizeF maxSavedPanelSize { 980, 860 };
    static constexpr double minPreviewFontSize = 12;
    static constexpr double maxPreviewFontSize = 28;
    static constexpr double defaultPreviewFontSize = 14;
    static inline const QString fontSizeStorageKey = QStringLiteral("mendo.translationPreviewPanel.fontSize");
    static inline const QString panelSizeKeyPrefix = QStringLiteral("mendo.translationPreviewPanel");

    explicit TranslationPreviewPanelController(TranslationPreviewServices services, QObject* parent = nullptr);
    ~TranslationPreviewPanelController() override;

    // The published fields the view shows.
    const QString& sourceText() const { return m_sourceText; }
    const QString& resultText() const { return m_resultText; }
    const QString& targetLanguage() const { return m_targetLanguage; }
    bool sourceVisible() const { return m_sourceVisible; }
    void setSourceVisible(bool visible);
    bool isRunning() const { return m_isRunning; }
    const QString& errorText() const { return m_errorText; }
    UiLanguage uiLanguage() const { return look().language; }
    double previewFontSize() const { return m_previewFontSize; }

    // Reads the selection of the application in front (accessibility first,
    // else a copy) and translates it in the panel. The hotkey and the tray
    // menu call it.
    virtual void showFromSelection(MendoAppState& appState);
    // Makes the panel on first use, places it near the pointer when it was
    // hidden and brings it to the front with the focus.
    void show();
    // Translates `sourceText` into `targetLanguage`.
    void translateCurrent();
    // The language list's choice; remembered in the settings.
    void setTargetLanguage(const QString& language);
    void pasteFromClipboardAndTranslate();
    // Clamped to 12...28 and stored when it changes.
    void setPreviewFontSize(double size);
    // Puts the translation on the clipboard; the panel stays.
    void copyResult();
    // Hides the panel and pastes the translation over the selection of the
    // remembered application, giving the user's clipboard back afterwards.
    void pasteResult();
    // Hides the panel: every way of putting it away ends here.
    void close();

    // None before the first show().
    FloatingPanel* panel() const { return m_panel.get(); }
    TranslationPreviewPanel* view() const { return m_view; }
    FloatingPanelDismissMonitor* dismissMonitor() const { return m_dismissMonitor.get(); }

    // The size the panel is made with: the stored one within its limits.
    QSizeF savedPanelSize() const;

Q_SIGNALS:
    // After every change of a published field or of the look.
    void changed();

private:
    Task<> readSelection(quint64 stamp);
    Task<> translate(quint64 stamp, QString text, PromptStyle style, QString language);
    Task<> paste(QString text);

    // Shown as the application's status while the panel follows one.
    void report(const ActionStatus& status);
    QString localized(const QString& en, const QString& ru) const;
    void refuse(const QString& en, const QString& ru);
    void positionNearMouse();

    TranslationPreviewServices m_services;
    // Shared with the translations under way, which may outlive the panel.
    std::shared_ptr<BackendClient> m_backend;
    SavedPanelSize m_savedSize;

    QString m_sourceText;
    QString m_resultText;
    QString m_targetLanguage = QStringLiteral("English");
    bool m_sourceVisible = true;
    bool m_isRunning = false;
    QString m_errorText;
    double m_previewFontSize = defaultPreviewFontSize;

    // The newest read or translation; older outcomes are dropped.
    quint64 m_stamp = 0;

    std::unique_ptr<FloatingPanel> m_panel;
    TranslationPreviewPanel* m_view = nullptr;
    std::unique_ptr<FloatingPanelDismissMonitor> m_dismissMonitor;
};

}  // namespace mendo
