#include "clipboard/ClipboardPanelController.h"

#include "app/MendoAppState.h"
#include "base/BiText.h"
#include "base/Clock.h"
#include "clipboard/ClipboardHistoryPanel.h"
#include "clipboard/ClipboardHistoryService.h"
#include "platform/Pasteboard.h"
#include "engine/FocusService.h"
#include "engine/PasteboardService.h"
#include "platform/PanelDesktop.h"
#include "ui/FloatingPanel.h"
#include "ui/FloatingPanelDismissMonitor.h"

namespace mendo {

ClipboardPanelController::ClipboardPanelController(Services services, QObject* parent)
    : AppStateFollower(parent)
    , m_services(services)
    , m_savedSize(services.defaults, sizeKeyPrefix, minimumSize)
{
    connect(this, &AppStateFollower::followed, this, &ClipboardPanelController::applyLook);
}

ClipboardPanelController::~ClipboardPanelController()
{
    // The monitor's watches call back into the panel.
    m_dismissMonitor.reset();
}

bool ClipboardPanelController::isPanelVisible() const
{
    return m_panel && m_panel->isVisible();
}

QSizeF ClipboardPanelController::savedPanelSize() const
{
    return m_savedSize.read(defaultSize, maximumSavedSize);
}

void ClipboardPanelController::savePanelSize(QSizeF size)
{
    m_savedSize.save(size);
}

void ClipboardPanelController::toggle()
{
    if (!isPanelVisible())
        show();
    else
        hide();
}

void ClipboardPanelController::hide()
{
    if (m_dismissMonitor)
        m_dismissMonitor->remove();
    if (m_panel)
        m_panel->hide();
}

void ClipboardPanelController::show()
{
    // MendoAI in front is never remembered: the earlier target stays.
    m_services.focus.rememberFrontmostApplication();
    m_pasteTargetBundleIdentifier = m_services.focus.rememberedBundleIdentifier();
    applyLook();
    if (!m_panel) {
        makePanel();
        positionNearMouse();
    } else if (!m_panel->isVisible()) {
        positionNearMouse();
    }
    m_dismissMonitor->remove();
    m_dismissMonitor->install();
    m_panel->present();
    m_view->appear();
}

void ClipboardPanelController::makePanel()
{
    m_panel = std::make_unique<FloatingPanel>(m_services.desktop, FloatingPanel::Focus::onClick);
    m_panel->setObjectName(QStringLiteral("clipboardPanel"));
    m_view = new ClipboardHistoryPanel(*this, m_services.history, m_services.notes, m_services.defaults, m_panel.get());
    m_panel->setSurface(m_view, 0);
    m_panel->setMinimumSize(minimumSize.toSize());
    m_panel->resize(savedPanelSize().toSize());
    m_panel->saveSizeTo(&m_savedSize);
    connect(m_panel.get(), &FloatingPanel::closeRequested, this, &ClipboardPanelController::hide);
    m_dismissMonitor = std::make_unique<FloatingPanelDismissMonitor>(
        m_panel.get(),
        [self = QPointer<ClipboardPanelController>(this)] {
            if (self)
                self->hide();
        },
        m_services.globalInput);
    applyLook();
}

void ClipboardPanelController::positionNearMouse()
{
    if (!m_panel)
        return;
    m_panel->moveNearPointer();
}

void ClipboardPanelController::applyLook()
{
    if (!m_view)
        return;
    m_view->setLook(look());
    m_panel->setWindowTitle(pick(look().language, QStringLiteral("Clipboard"), QStringLiteral("Буфер")));
}

void ClipboardPanelController::pasteFromHistory(const QString& text)
{
    const std::optional<QString> target = m_pasteTargetBundleIdentifier;
    hide();
    detach(pasteLater(text, target));
}

void ClipboardPanelController::copyNote(const QString& text)
{
    ClipboardHistoryService& history = m_services.history;
    history.suppressCapture(noteCopySuppressionSeconds);
    m_services.generalPasteboard.clearContents();
    m_services.generalPasteboard.setString(text);
    history.finishTransientPasteboardUse();
}

Task<> ClipboardPanelController::pasteLater(QString text, std::optional<QString> target)
{
    const QPointer<ClipboardPanelController> self(this);
    PasteboardService& pasteboard = m_services.pasteboard;
    co_await m_services.clock.sleep(pasteDelay);
    QString error;
    try {
        co_await pasteboard.pasteTransient(text, target, PasteboardTiming::standard());
    } catch (const std::exception& e) {
        error = describeException(e);
    }
    if (!self || !self->appState())
        co_return;
    const UiLanguage language = self->look().language;
    self->appState()->setStatus(error.isEmpty()
            ? ActionStatus::done(pick(language, QStringLiteral("Pasted"), QStringLiteral("Вставлено")))
            : ActionStatus::failed(error));
}

}  // namespace mendo
