#pragma once

#include "base/EnumTable.h"

namespace mendo {

// Where the focused window is tiled.
enum class WindowTileSlot { full, leftHalf, rightHalf, topLeft, topRight, bottomLeft, bottomRight };

// The neighbour the focused window swaps places with.
enum class WindowSwapDirection { left, right, up, down };

template <>
struct EnumTraits<WindowTileSlot> {
    static constexpr std::array<EnumCase<WindowTileSlot>, 7> cases{{
        {WindowTileSlot::full, "full"},
        {WindowTileSlot::leftHalf, "leftHalf"},
        {WindowTileSlot::rightHalf, "rightHalf"},
        {WindowTileSlot::topLeft, "topLeft"},
        {WindowTileSlot::topRight, "topRight"},
        {WindowTileSlot::bottomLeft, "bottomLeft"},
        {WindowTileSlot::bottomRight, "bottomRight"},
    }};
};

template <>
struct EnumTraits<WindowSwapDirection> {
    static constexpr std::array<EnumCase<WindowSwapDirection>, 4> cases{{
        {WindowSwapDirection::left, "left"},
        {WindowSwapDirection::right, "right"},
        {WindowSwapDirection::up, "up"},
        {WindowSwapDirection::down, "down"},
    }};
};

}  // namespace mendo
