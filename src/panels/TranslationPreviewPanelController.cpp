#include "panels/TranslationPreviewPanelController.h"

#include "app/MendoAppState.h"
#include "app/SelectionTransfer.h"
#include "base/BiText.h"
#include "base/Text.h"
#include "engine/FocusService.h"
#include "engine/FocusedTextAccess.h"
#include "model/MendoPromptLibrary.h"
#include "panels/TranslationPreviewPanel.h"
#include "platform/PanelDesktop.h"
#include "platform/Pasteboard.h"
#include "platform/UserDefaults.h"
#include "ui/FloatingPanel.h"
#include "ui/FloatingPanelDismissMonitor.h"
#include "ui/GlassSurface.h"

#include <QPointer>

namespace mendo {

namespace {

const QString translateStyleId = QStringLiteral("translate");

double storedFontSize(const UserDefaults& defaults)
{
    const double stored = defaults.number(TranslationPreviewPanelController::fontSizeStorageKey);
    // NaN fails both comparisons and so falls back too.
    if (stored >= TranslationPreviewPanelController::minPreviewFontSize
        && stored <= TranslationPreviewPanelController::maxPreviewFontSize)
        return stored;
    return TranslationPreviewPanelController::defaultPreviewFontSize;
}

}  // namespace

TranslationPreviewPanelController::TranslationPreviewPanelController(
    TranslationPreviewServices services, QObject* parent)
    : AppStateFollower(parent)
    , m_services(services)
    , m_backend(std::make_shared<BackendClient>(services.serviceURL, services.credentials, services.network,
          services.clock, services.languages, services.log))
    , m_savedSize(services.defaults, panelSizeKeyPrefix, minPanelSize)
    , m_previewFontSize(storedFontSize(services.defaults))
{
    connect(this, &AppStateFollower::followed, this, &TranslationPreviewPanelController::changed);
}

TranslationPreviewPanelController::~TranslationPreviewPanelController()
{
    // The monitor refers to the panel: it goes first.
    m_dismissMonitor.reset();
    m_panel.reset();
}

void TranslationPreviewPanelController::setSourceVisible(bool visible)
{
    if (m_sourceVisible == visible)
        return;
    m_sourceVisible = visible;
    Q_EMIT changed();
}

void TranslationPreviewPanelController::report(const ActionStatus& status)
{
    if (MendoAppState* state = appState())
        state->setStatus(status);
}

QString TranslationPreviewPanelController::localized(const QString& en, const QString& ru) const
{
    return pick(uiLanguage(), en, ru);
}

void TranslationPreviewPanelController::showFromSelection(MendoAppState& appState)
{
    // Takes the look and the language as attaching does; the panel may be
    // shown before the application attached it.
    AppStateFollower::attach(appState);
    m_targetLanguage = settings().translatePreviewTargetLanguage;
    m_sourceText.clear();
    m_errorText.clear();
    m_resultText.clear();
    m_isRunning = true;
    const quint64 stamp = ++m_stamp;
    m_services.focus.rememberFrontmostApplication();
    report(ActionStatus::running(localized(QStringLiteral("Reading selection"), QStringLiteral("Читаю выделение"))));
    Q_EMIT changed();
    detach(readSelection(stamp));
}

Task<> TranslationPreviewPanelController::readSelection(quint64 stamp)
{
    QPointer<TranslationPreviewPanelController> self(this);
    // The read runs as a task of its own, after the caller has returned.
    co_await m_services.clock.sleep(Millis(0));
    if (!self || !appState() || stamp != m_stamp)
        co_return;

    QString source = m_services.accessibility.selectedText();
    if (text::isBlank(source)) {
        try {
            source = co_await m_services.selection.readSelectedTextTransient(
                false, true, PasteboardTiming::standard(), std::nullopt);
        } catch (const std::exception& e) {
            if (!self || stamp != m_stamp)
                co_return;
            const QString message = describeException(e);
            m_isRunning = false;
            m_errorText = message;
            Q_EMIT changed();
            show();
            report(ActionStatus::failed(message));
            co_return;
        }
        if (!self || stamp != m_stamp)
            co_return;
    }

    m_sourceText = source;
    Q_EMIT changed();
    show();
    report(ActionStatus::running(localized(
        QStringLiteral("Translating to ") + m_targetLanguage, QStringLiteral("Перевожу на ") + m_targetLanguage)));
    translateCurrent();
}

void TranslationPreviewPanelController::refuse(const QString& en, const QString& ru)
{
    m_errorText = localized(en, ru);
    m_isRunning = false;
    Q_EMIT changed();
    // Ends a running status ("Translating to ...") that would otherwise stay.
    report(ActionStatus::failed(m_errorText));
}

void TranslationPreviewPanelController::translateCurrent()
{
    // Whatever was under way before is now out of date, refused or not.
    const quint64 stamp = ++m_stamp;
    const QString text = text::trimmed(m_sourceText);
    if (text.isEmpty()) {
        refuse(QStringLiteral("No selected text."), QStringLiteral("Нет выделенного текста."));
        return;
    }
    const QString language = m_targetLanguage;
    MendoAppState* state = appState();
    const QList<PromptStyle> styles = state ? state->promptStyles() : MendoPromptLibrary::defaultStyles();
    const std::optional<PromptStyle> style = MendoPromptLibrary::style(translateStyleId, styles);
    if (!style) {
        refuse(QStringLiteral("Translate style not found."), QStringLiteral("Стиль перевода не найден."));
        return;
    }
    m_isRunning = true;
    m_errorText.clear();
    Q_EMIT changed();
    detach(translate(stamp, text, *style, language));
}

Task<> TranslationPreviewPanelController::translate(quint64 stamp, QString text, PromptStyle style, QString language)
{
    QPointer<TranslationPreviewPanelController> self(this);
    const std::shared_ptr<BackendClient> backend = m_backend;
    BackendSendOptions options;
    options.targetLanguage = language;
    options.retryOnUnchangedTranslation = true;
    QString result;
    QString failure;
    try {
        result = co_await backend->send(std::move(text), BackendAction::translate, std::move(style), options);
    } catch (const std::exception& e) {
        failure = describeException(e);
    }
    if (!self || stamp != m_stamp)
        co_return;
    m_isRunning = false;
    if (failure.isEmpty()) {
        m_resultText = result;
        Q_EMIT changed();
        report(ActionStatus::done(
            localized(QStringLiteral("Translation preview ready"), QStringLiteral("Предпросмотр перевода готов"))));
    } else {
        // The earlier translation stays for copying.
        m_errorText = failure;
        Q_EMIT changed();
        report(ActionStatus::failed(failure));
    }
}

void TranslationPreviewPanelController::setTargetLanguage(const QString& language)
{
    if (language == m_targetLanguage)
        return;
    m_targetLanguage = language;
    Q_EMIT changed();
    if (MendoAppState* state = appState())
        state->editSettings([&language](MendoSettings& s) { s.translatePreviewTargetLanguage = language; });
    if (!text::isBlank(m_sourceText))
        translateCurrent();
}

void TranslationPreviewPanelController::pasteFromClipboardAndTranslate()
{
    const QString text = text::trimmed(m_services.pasteboard.string().value_or(QString()));
    if (text.isEmpty()) {
        // A read or translation still under way would overwrite the message.
        ++m_stamp;
        m_errorText = localized(QStringLiteral("Clipboard is empty."), QStringLiteral("Буфер обмена пуст."));
        m_isRunning = false;
        Q_EMIT changed();
        report(ActionStatus::failed(m_errorText));
        return;
    }
    m_sourceText = text;
    m_resultText.clear();
    m_errorText.clear();
    Q_EMIT changed();
    report(ActionStatus::running(
        localized(QStringLiteral("Translating clipboard"), QStringLiteral("Перевожу из буфера"))));
    translateCurrent();
}

void TranslationPreviewPanelController::setPreviewFontSize(double size)
{
    const double clamped = std::clamp(size, minPreviewFontSize, maxPreviewFontSize);
    if (clamped == m_previewFontSize)
        return;
    m_previewFontSize = clamped;
    m_services.defaults.set(fontSizeStorageKey, clamped);
    Q_EMIT changed();
}

void TranslationPreviewPanelController::copyResult()
{
    if (m_resultText.isEmpty())
        return;
    m_services.pasteboard.clearContents();
    if (!m_services.pasteboard.setString(m_resultText))
        return;
    report(ActionStatus::done(localized(QStringLiteral("Copied"), QStringLiteral("Скопировано"))));
}

void TranslationPreviewPanelController::pasteResult()
{
    if (m_resultText.isEmpty())
        return;
    detach(paste(m_resultText));
}

Task<> TranslationPreviewPanelController::paste(QString text)
{
    // Hidden first: the keys go to the application the text belongs in.
    close();
    QPointer<TranslationPreviewPanelController> self(this);
    try {
        co_await m_services.selection.pasteTransient(std::move(text), std::nullopt, PasteboardTiming::standard());
        if (self)
            report(ActionStatus::done(localized(QStringLiteral("Pasted"), QStringLiteral("Вставлено"))));
    } catch (const std::exception& e) {
        if (self)
            report(ActionStatus::failed(describeException(e)));
    }
}

void TranslationPreviewPanelController::close()
{
    if (m_dismissMonitor)
        m_dismissMonitor->remove();
    if (m_panel)
        m_panel->hide();
}

QSizeF TranslationPreviewPanelController::savedPanelSize() const
{
    return m_savedSize.read(defaultPanelSize, maxSavedPanelSize);
}

void TranslationPreviewPanelController::show()
{
    const bool wasVisible = m_panel && m_panel->isVisible();
    if (!m_panel) {
        const PanelLook& panelLook = look();
        m_panel = std::make_unique<FloatingPanel>(m_services.desktop, FloatingPanel::Focus::onPresent);
        m_panel->setObjectName(QStringLiteral("translationPreviewPanel"));
        auto* surface = new MendoFloatingSurface(panelLook.appearance, panelLook.surfaceMode, 22, m_panel.get());
        m_view = new TranslationPreviewPanel(*this, surface);
        m_panel->setSurface(surface, 0);
        m_panel->setMinimumSize(minPanelSize.toSize());
        m_panel->resize(savedPanelSize().toSize());
        m_panel->saveSizeTo(&m_savedSize);
        connect(m_panel.get(), &FloatingPanel::closeRequested, this, &TranslationPreviewPanelController::close);
        QPointer<TranslationPreviewPanelController> self(this);
        m_dismissMonitor = std::make_unique<FloatingPanelDismissMonitor>(
            m_panel.get(),
            [self] {
                if (self)
                    self->close();
            },
            m_services.globalInput);
    }
    if (!wasVisible)
        positionNearMouse();
    m_dismissMonitor->remove();
    m_dismissMonitor->install();
    m_panel->present();
}

void TranslationPreviewPanelController::positionNearMouse()
{
    if (!m_panel)
        return;
    m_panel->moveNearPointer();
}

}  // namespace mendo
