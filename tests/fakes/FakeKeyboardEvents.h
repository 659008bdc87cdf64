#pragma once

#include "fakes/EventLog.h"
#include "platform/KeyboardEvents.h"

#include <QMap>
#include <functional>

namespace mendo {

inline QString shortcutName(EditShortcut shortcut)
{
    switch (shortcut) {
    case EditShortcut::SelectAll:
        return QStringLiteral("SelectAll");
    case EditShortcut::Copy:
        return QStringLiteral("Copy");
    case EditShortcut::Paste:
        return QStringLiteral("Paste");
    case EditShortcut::CloseTab:
        return QStringLiteral("CloseTab");
    }
    return {};
}

// Records every shortcut (in `posted` and, when set, in `log` as
// "post Copy"); `onPost` plays the target application's part (a copy putting
// the selection on the pasteboard). Modifier queries are logged as
// "modifiers".
class FakeKeyboardEvents final : public KeyboardEvents {
public:
    ShortcutResult postShortcut(EditShortcut shortcut) override
    {
        const ShortcutResult result = results.value(shortcut, ShortcutResult::Posted);
        if (result != ShortcutResult::Posted) {
            if (log)
                log->add(QStringLiteral("refuse ") + shortcutName(shortcut));
            return result;
        }
        posted << shortcut;
        if (log)
            log->add(QStringLiteral("post ") + shortcutName(shortcut));
        if (onPost)
            onPost(shortcut);
        return result;
    }

    EditingStyle focusedEditingStyle() override { return style; }

    Qt::KeyboardModifiers heldModifiers() const override
    {
        if (log)
            log->add(QStringLiteral("modifiers"));
        return held;
    }

    QList<EditShortcut> posted;
    QMap<EditShortcut, ShortcutResult> results;
    Qt::KeyboardModifiers held;
    EditingStyle style = EditingStyle::Standard;
    std::function<void(EditShortcut)> onPost;
    EventLog* log = nullptr;
};

}  // namespace mendo
