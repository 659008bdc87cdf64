#include "engine/PasteboardSnapshot.h"

namespace mendo {

PasteboardSnapshot PasteboardSnapshot::capture(const Pasteboard& pasteboard)
{
    return PasteboardSnapshot { pasteboard.readAllItems() };
}

void PasteboardSnapshot::restore(Pasteboard& pasteboard) const
{
    pasteboard.clearContents();
    if (!items.isEmpty())
        pasteboard.writeItems(items);
}

}  // namespace mendo
