#include "engine/PasteboardSnapshot.h"

namespace mendo {

PasteboardSnapshot PasteboardSnapshot::capture(const Pasteboard& pasteboard)
{
    return PasteboardSnapshot { pasteboard.readAllItems() };
}

bool PasteboardSnapshot::restore(Pasteboard& pasteboard) const
{
    pasteboard.clearContents();
    return items.isEmpty() || pasteboard.writeItems(items);
}

}  // namespace mendo
