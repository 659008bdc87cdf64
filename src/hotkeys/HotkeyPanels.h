#pragma once

#include <QString>

namespace mendo {

// The panels that hotkeys open instead of running a text action.
class HotkeyPanels {
public:
    virtual ~HotkeyPanels() = default;

    virtual void toggleQuickPanel() = 0;
    virtual void toggleClipboard() = 0;
    // The assistant in chat mode, with the selection as context.
    virtual void showAssistant() = 0;
    // The assistant in reply mode with the reply style of this id.
    virtual void showReply(const QString& replyStyleId) = 0;
    virtual void showTranslationPreview() = 0;
};

}  // namespace mendo
