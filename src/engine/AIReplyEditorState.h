#pragma once

#include <QString>
#include <optional>

namespace mendo {

// The reply editor as it was before a reply paste, to tell whether the paste
// changed it.
struct AIReplyEditorState {
    // Its text; absent when it cannot be read as text.
    std::optional<QString> value;
    // Its character count; absent when it cannot be read as a number.
    std::optional<qint64> characterCount;

    bool operator==(const AIReplyEditorState&) const = default;
};

}  // namespace mendo
