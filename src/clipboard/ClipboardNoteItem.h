#pragma once

#include <QDateTime>
#include <QString>

namespace mendo {

// One note: trimmed, never empty text the user keeps to paste again.
struct ClipboardNoteItem {
    QString id;
    QString text;
    QDateTime createdAt;
    QDateTime updatedAt;

    bool operator==(const ClipboardNoteItem&) const = default;
};

}  // namespace mendo
