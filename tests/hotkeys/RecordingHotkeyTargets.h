#pragma once

#include "engine/FocusService.h"
#include "hotkeys/HotkeyAppState.h"
#include "hotkeys/HotkeyPanels.h"
#include "hotkeys/QuickActionRunner.h"
#include "hotkeys/WindowCommands.h"

#include <QStringList>

namespace mendo {

// Every call that leaves the service, in one log.
struct RecordingHotkeyTargets final : HotkeyAppState, QuickActionRunner, HotkeyPanels, WindowCommands {
    MendoSettings current;
    QList<PromptStyle> styles;
    QList<AIReplyStyle> replies;
    QStringList failures;
    QStringList calls;
    bool displayOff = false;
    bool tabPopsOut = false;
    const FocusService* focus = nullptr;  // whose remembered application runs record

    QString target() const
    {
        return focus && focus->rememberedBundleIdentifier() ? *focus->rememberedBundleIdentifier()
                                                            : QStringLiteral("nothing");
    }

    MendoSettings settings() const override { return current; }
    QList<PromptStyle> promptStyles() const override { return styles; }
    QList<AIReplyStyle> aiReplyStyles() const override { return replies; }
    void showFailure(const QString& message) override { failures.append(message); }

    void run(const QuickAction& action, bool paste, bool sample) override
    {
        calls.append(QStringLiteral("run %1 in %2 paste=%3 sample=%4").arg(action.id, target()).arg(paste).arg(sample));
    }

    void toggleQuickPanel() override { calls.append("quick panel"); }
    void toggleClipboard() override { calls.append("clipboard"); }
    void showAssistant() override { calls.append("assistant"); }
    void showReply(const QString& id) override { calls.append("reply " + id); }
    void showTranslationPreview() override { calls.append("translation preview in " + target()); }

    void tileFocusedWindow(WindowTileSlot slot) override { calls.append("tile " + rawValue(slot)); }
    void swapFocusedWindow(WindowSwapDirection d) override { calls.append("swap " + rawValue(d)); }
    void tileAllWindows() override { calls.append("tile all"); }
    bool popOutActiveTabIfNeeded(WindowTileSlot slot) override
    {
        calls.append("pop out " + rawValue(slot));
        return tabPopsOut;
    }
    bool builtInDisplayDisabled() const override { return displayOff; }
    void disableBuiltIn() override
    {
        calls.append("display off");
        displayOff = true;
    }
    void enableBuiltIn() override
    {
        calls.append("display on");
        displayOff = false;
    }

    void changeSettings() { Q_EMIT settingsChanged(); }
};

}  // namespace mendo
