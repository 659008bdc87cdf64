// The clipboard notes file as anyone may have left it: any bytes read
// without a crash, and whatever reads as tabs of notes is written back and
// read again to the very same tabs and bytes.
#include "clipboard/ClipboardNotesService.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto decoded = mendo::ClipboardNotesService::decode(bytes);
    if (!decoded)
        return 0;
    const QByteArray written = mendo::ClipboardNotesService::encode(*decoded);
    const auto again = mendo::ClipboardNotesService::decode(written);
    if (!again || *again != *decoded || mendo::ClipboardNotesService::encode(*again) != written)
        std::abort();
    return 0;
}
