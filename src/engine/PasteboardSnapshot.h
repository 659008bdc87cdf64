#pragma once

#include "platform/Pasteboard.h"

namespace mendo {

// The whole contents of the pasteboard, every representation of every item in
// full, saved before the pasteboard service borrows it and written back
// afterwards. Lives for one operation only; never stored.
struct PasteboardSnapshot {
    QList<PasteboardItem> items;

    // A type whose data cannot be read is left out; an item keeps its place
    // even when none of its types could be read.
    static PasteboardSnapshot capture(const Pasteboard& pasteboard);
    // Always clears first, so an empty snapshot leaves the pasteboard empty.
    // False when the pasteboard refused the contents.
    bool restore(Pasteboard& pasteboard) const;
};

}  // namespace mendo
