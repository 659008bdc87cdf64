#include "engine/PasteboardSnapshot.h"

namespace mendo {

PasteboardSnapshot PasteboardSnapshot::capture(const Pasteboard& pasteboard)
{
    PasteboardSnapshot snapshot;
    const QList<QStringList> itemTypes = pasteboard.itemTypes();
    for (qsizetype index = 0; index < itemTypes.size(); ++index) {
        PasteboardItem item;
        for (const QString& type : itemTypes[index]) {
            if (std::optional<QByteArray> bytes = pasteboard.data(index, type))
                item.values.append({type, *bytes});
        }
        snapshot.items.append(std::move(item));
    }
    return snapshot;
}

bool PasteboardSnapshot::restore(Pasteboard& pasteboard) const
{
    pasteboard.clearContents();
    return items.isEmpty() || pasteboard.writeItems(items);
}

}  // namespace mendo
