#include "model/WindowTilingHotkeys.h"

namespace mendo::WindowTilingHotkeys {

const HotkeyMap& defaults()
{
    static const HotkeyMap map {
        { "tileAll", "Control+Alt+4" },
        { "topLeft", "Control+Alt+U" },
        { "topRight", "Control+Alt+I" },
        { "bottomLeft", "Control+Alt+J" },
        { "bottomRight", "Control+Alt+K" },
        { "leftHalf", "Control+Alt+Shift+Left" },
        { "rightHalf", "Control+Alt+Shift+Right" },
        { "swapLeft", "Control+Alt+Left" },
        { "swapRight", "Control+Alt+Right" },
        { "swapUp", "Control+Alt+Up" },
        { "swapDown", "Control+Alt+Down" },
        { "full", "Control+Alt+Return" },
        { "fill", "Control+Alt+Shift+Up" },
        { "builtInDisplay", "Control+Alt+0" },
    };
    return map;
}

const QStringList& order()
{
    static const QStringList names
        = QStringLiteral("tileAll topLeft topRight bottomLeft bottomRight leftHalf rightHalf "
                         "full fill swapLeft swapRight swapUp swapDown builtInDisplay")
              .split(u' ');
    return names;
}

std::optional<WindowTileSlot> slot(const QString& actionName)
{
    if (actionName == u"fill")
        return WindowTileSlot::full;
    // The other slot names are the action names themselves.
    if (actionName == u"tileAll" || actionName.startsWith(u"swap") || actionName == u"builtInDisplay")
        return std::nullopt;
    return fromRawValue<WindowTileSlot>(actionName);
}

std::optional<WindowSwapDirection> swapDirection(const QString& actionName)
{
    if (!actionName.startsWith(u"swap") || actionName.size() < 5)
        return std::nullopt;
    const QString rest = actionName.mid(4);
    // "swapLeft" -> "left"; the first letter must be a capital.
    if (!rest.front().isUpper())
        return std::nullopt;
    return fromRawValue<WindowSwapDirection>(rest.front().toLower() + rest.mid(1));
}

HotkeyMap mergedOverDefaults(const HotkeyMap& stored)
{
    HotkeyMap result = defaults();
    for (auto it = stored.constBegin(); it != stored.constEnd(); ++it)
        result.insert(it.key(), it.value());
    if (result.value("leftHalf") == u"Control+Alt+Left")
        result.insert("leftHalf", defaults().value("leftHalf"));
    if (result.value("rightHalf") == u"Control+Alt+Right")
        result.insert("rightHalf", defaults().value("rightHalf"));
    return result;
}

HotkeyMap fromJson(const QJsonObject& object)
{
    HotkeyMap result;
    for (auto it = object.constBegin(); it != object.constEnd(); ++it)
        if (it.value().isString())
            result.insert(it.key(), it.value().toString());
    return result;
}

QJsonObject toJson(const HotkeyMap& map)
{
    QJsonObject result;
    for (auto it = map.constBegin(); it != map.constEnd(); ++it)
        result.insert(it.key(), it.value());
    return result;
}

}  // namespace mendo::WindowTilingHotkeys
