#pragma once

#include "hotkeys/HotkeyAppState.h"
#include "hotkeys/QuickActionRunner.h"

#include <QPointer>

namespace mendo {

class MendoAppState;

// The application state as the hotkey service sees it: its settings and
// styles, its failed status, and its action driver.
class AppStateHotkeyBridge final : public HotkeyAppState, public QuickActionRunner {
    Q_OBJECT
public:
    explicit AppStateHotkeyBridge(MendoAppState& state, QObject* parent = nullptr);

    MendoSettings settings() const override;
    QList<PromptStyle> promptStyles() const override;
    QList<AIReplyStyle> aiReplyStyles() const override;
    void showFailure(const QString& message) override;
    void run(const QuickAction& action, bool pasteResult, bool updateSampleText) override;

private:
    QPointer<MendoAppState> m_state;
};

}  // namespace mendo
