#pragma once

#include "sheet/settings_sheet.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace konfigor::kvr {

enum class DiffField {
    SerialWord,
    Buttons,
    CopyLock,
    Description,
    Time,
    TransientMode,
    DoublePress,
    Identifier,
};

// A serial word or a time in tenths of a second; a flag; a UTF-8 text; the four button masks.
using DiffValue = std::variant<std::uint32_t, bool, std::string, std::array<std::uint16_t, 4>>;

// One field that differs between the two sheets, with its value on each side.
struct SheetDifference {
    enum class Place { Remote, Channel, Receiver };

    Place place = Place::Remote;
    // The position (slot + 1) or the channel number; 0 for the receiver's identifier.
    std::size_t number = 0;
    DiffField field = DiffField::SerialWord;
    DiffValue a;
    DiffValue b;
};

// Slot by slot and channel by channel. A remote on one side only differs in its serial word
// alone; buttons and copy lock are compared where both sides hold a remote. The code counter
// changes with every press and is never compared. Descriptions and the identifier only when
// `withDescriptions`: a receiver keeps none.
std::vector<SheetDifference> sheetDifferences(const SettingsSheet& a, const SettingsSheet& b,
                                              bool withDescriptions);

// "remote 3: serial 123 | (M) 456", "channel 2: time 0.5 s | 1.0 s".
std::string differenceLine(const SheetDifference& difference);

// The field's key in the JSON of kvr export.
std::string_view fieldKey(DiffField field);

} // namespace konfigor::kvr
