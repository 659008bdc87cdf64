#pragma once

// The Clipboard and Updates pages over SettingsRig, with a clipboard history
// loaded from a staged stored history and an update manager over a scripted
// client, both real.

#include "settings/SettingsRig.h"
#include "updates/ScriptedUpdateClient.h"

#include <QDir>
#include <QImage>
#include <QTest>
#include <QPainter>

namespace mendo {

struct ClipboardUpdatesRig : SettingsRig {
    std::unique_ptr<ClipboardHistoryService> ownHistory;
    ScriptedUpdateClient scriptedClient { network, clock };
    AppUpdateManager manager { scriptedClient, defaults, urlOpener, clock };
    std::unique_ptr<MainSettingsView> window;

    // `stored`: the history as a previous run left it.
    explicit ClipboardUpdatesRig(const std::function<void(MendoSettings&)>& prepare = {},
        const QList<ClipboardHistoryItem>& stored = {})
        : SettingsRig(prepare)
    {
        if (!stored.isEmpty())
            defaults.set(ClipboardHistoryService::storageKey, ClipboardHistoryService::encode(stored));
        ownHistory = std::make_unique<ClipboardHistoryService>(clock, pasteboard, defaults, &log);
        state->setClipboardHistory(ownHistory.get());
        ownHistory->attach(*state);
        clock.advance(Millis(0));
        // A paste without a target names none.
        selection.source = std::nullopt;
    }
    ~ClipboardUpdatesRig() { window.reset(); }

    MainSettingsEnvironment pageEnvironment()
    {
        return { *state, quickPanel, statusHUD, hotkeys, menuBar, *ownHistory, clipboardPanel, assistantPanel, manager,
            platform, selection, layouts, builtInDisplay };
    }

    // The settings window on `page`, shown offscreen at 900 x 640.
    template <class Page>
    Page* open(SettingsPage page, bool show = true)
    {
        if (!window) {
            window = std::make_unique<MainSettingsView>(pageEnvironment());
            window->resize(900, 640);
        }
        state->setSelectedSettingsPage(page);
        if (show && !window->isVisible()) {
            window->show();
            if (!QTest::qWaitForWindowExposed(window.get()))
                qWarning("the settings window was not exposed");
        }
        return qobject_cast<Page*>(window->page(page));
    }

    QList<QString> storedTexts() const
    {
        QList<QString> texts;
        const auto decoded = ClipboardHistoryService::decode(
            defaults.object(ClipboardHistoryService::storageKey).value_or(QVariant()).toByteArray());
        if (decoded) {
            for (const ClipboardHistoryItem& item : decoded->items)
                texts << item.text;
        }
        return texts;
    }
};

#ifdef MENDO_ARTIFACT_DIR
// The window as drawn, with `dialog` (when given) over its centre.
inline bool saveSettingsShot(QWidget* window, const QString& name, QWidget* dialog = nullptr)
{
    QImage shot = window->grab().toImage();
    if (dialog) {
        const QImage over = dialog->grab().toImage();
        QPainter p(&shot);
        p.fillRect(shot.rect(), QColor(0, 0, 0, 40));
        p.drawImage(QPoint((shot.width() - over.width()) / 2, (shot.height() - over.height()) / 3), over);
    }
    QDir().mkpath(QStringLiteral(MENDO_ARTIFACT_DIR));
    return shot.save(QStringLiteral(MENDO_ARTIFACT_DIR) + QLatin1Char('/') + name);
}
#endif

}  // namespace mendo
