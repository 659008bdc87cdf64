// Desktop entries as anyone may have installed them: any bytes read without
// a crash, in time linear in their length, and a value never runs past the
// end of its line.
#include "platform/DesktopEntry.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void check(const QByteArray& bytes)
{
    const std::optional<mendo::DesktopEntry> entry = mendo::parseDesktopEntry(bytes);
    if (!entry)
        return;
    for (const QString* value : { &entry->type, &entry->icon, &entry->exec, &entry->startupWMClass }) {
        if (value->contains(QLatin1Char('\n')))
            std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    check(bytes);
    // The same bytes inside the group that is read, so that they reach the keys.
    check("[Desktop Entry]\n" + bytes);
    return 0;
}
