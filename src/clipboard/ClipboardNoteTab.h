#pragma once

#include "clipboard/ClipboardNoteItem.h"

#include <QList>

namespace mendo {

// A named tab of notes, newest note first.
struct ClipboardNoteTab {
    QString id;
    QString title;
    QList<ClipboardNoteItem> notes;
    QDateTime createdAt;
    QDateTime updatedAt;

    bool operator==(const ClipboardNoteTab&) const = default;
};

}  // namespace mendo
