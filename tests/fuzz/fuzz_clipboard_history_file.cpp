// The clipboard history file as anyone may have left it: any bytes read
// without a crash, and whatever reads as entries is written back and read
// again to the very same bytes.
#include "clipboard/ClipboardHistoryService.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto decoded = mendo::ClipboardHistoryService::decode(bytes);
    if (!decoded)
        return 0;
    const QByteArray written = mendo::ClipboardHistoryService::encode(decoded->items);
    const auto again = mendo::ClipboardHistoryService::decode(written);
    if (!again || again->dropped != 0 || again->items.size() != decoded->items.size()
        || mendo::ClipboardHistoryService::encode(again->items) != written)
        std::abort();
    return 0;
}
