// Hotkey texts as the settings file or the recorder may hold them: any text
// parses or is refused without a crash, and a parsed one means the same
// shortcut as its own key name with the same modifiers.
#include "hotkeys/ParsedHotkey.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    if (mendo::ParsedHotkey::isNotAssigned(text))
        return 0;
    const std::optional<mendo::ParsedHotkey> hotkey = mendo::ParsedHotkey::parse(text);
    if (!hotkey)
        return 0;
    const QString signature = hotkey->canonicalSignature();
    if (signature.isEmpty() || hotkey->chord().keyCode != hotkey->keyCode)
        std::abort();
    return 0;
}
