#include "kvr/sheet_diff.h"

#include "kvr/button_channels.h"
#include "sheet/serial_word.h"
#include "texts/message_format.h"

#include <algorithm>

namespace konfigor::kvr {
namespace {

using Place = SheetDifference::Place;

class Collector {
public:
    template <class Value>
    void compare(Place place, std::size_t number, DiffField field, const Value& a, const Value& b) {
        if (a != b)
            found_.push_back(
                {.place = place, .number = number, .field = field, .a = DiffValue(a), .b = b});
    }

    std::vector<SheetDifference> take() { return std::move(found_); }

private:
    std::vector<SheetDifference> found_;
};

void compareRemote(std::size_t slot, const RemoteEntry& a, const RemoteEntry& b,
                   bool withDescriptions, Collector& out) {
    const std::size_t position = slot + 1;
    out.compare(Place::Remote, position, DiffField::SerialWord, a.serialWord, b.serialWord);
    if (!a.isEmpty() && !b.isEmpty()) {
        out.compare(Place::Remote, position, DiffField::Buttons, a.buttonMasks, b.buttonMasks);
        out.compare(Place::Remote, position, DiffField::CopyLock, a.copyLock, b.copyLock);
    }
    if (withDescriptions)
        out.compare(Place::Remote, position, DiffField::Description, a.description.toUtf8(),
                    b.description.toUtf8());
}

void compareChannel(std::size_t index, const ChannelEntry& a, const ChannelEntry& b,
                    bool withDescriptions, Collector& out) {
    const std::size_t number = index + 1;
    out.compare(Place::Channel, number, DiffField::Time, std::uint32_t{a.time},
                std::uint32_t{b.time});
    out.compare(Place::Channel, number, DiffField::TransientMode, a.transientMode, b.transientMode);
    out.compare(Place::Channel, number, DiffField::DoublePress, a.doublePress, b.doublePress);
    if (withDescriptions)
        out.compare(Place::Channel, number, DiffField::Description, a.description.toUtf8(),
                    b.description.toUtf8());
}

// A line break or tab inside a text would tear the line apart.
std::string quoted(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }, ' ');
    return '"' + text + '"';
}

std::string buttons(const std::array<std::uint16_t, 4>& masks) {
    std::string text;
    for (const std::uint16_t mask : masks) {
        const std::string channels = channelNumbers(mask, ",");
        text += (text.empty() ? "" : " ") + (channels.empty() ? std::string("-") : channels);
    }
    return text;
}

std::string shown(DiffField field, const DiffValue& value) {
    switch (field) {
    case DiffField::SerialWord: {
        const std::uint32_t word = std::get<std::uint32_t>(value);
        return word == 0 ? "empty" : serial_word::formatSerial(word);
    }
    case DiffField::Buttons:
        return buttons(std::get<std::array<std::uint16_t, 4>>(value));
    case DiffField::CopyLock:
    case DiffField::TransientMode:
    case DiffField::DoublePress:
        return std::get<bool>(value) ? "yes" : "no";
    case DiffField::Description:
    case DiffField::Identifier:
        return quoted(std::get<std::string>(value));
    case DiffField::Time:
        return formatMessage("%.1f s", {static_cast<double>(std::get<std::uint32_t>(value)) / 10.0})
            .value_or(std::string());
    }
    return {};
}

std::string_view fieldName(DiffField field) {
    switch (field) {
    case DiffField::SerialWord:
        return "serial";
    case DiffField::Buttons:
        return "buttons";
    case DiffField::CopyLock:
        return "copy lock";
    case DiffField::Description:
        return "description";
    case DiffField::Time:
        return "time";
    case DiffField::TransientMode:
        return "momentary";
    case DiffField::DoublePress:
        return "double press";
    case DiffField::Identifier:
        return "identifier";
    }
    return {};
}

std::string placeName(const SheetDifference& difference) {
    switch (difference.place) {
    case Place::Remote:
        return "remote " + std::to_string(difference.number) + ": ";
    case Place::Channel:
        return "channel " + std::to_string(difference.number) + ": ";
    case Place::Receiver:
        break;
    }
    return {};
}

} // namespace

std::vector<SheetDifference> sheetDifferences(const SettingsSheet& a, const SettingsSheet& b,
                                              bool withDescriptions) {
    Collector out;
    for (std::size_t slot = 0; slot < kRemoteSlotCount; ++slot)
        compareRemote(slot, a.remotes[slot], b.remotes[slot], withDescriptions, out);
    for (std::size_t index = 0; index < kChannelCount; ++index)
        compareChannel(index, a.channels[index], b.channels[index], withDescriptions, out);
    if (withDescriptions)
        out.compare(Place::Receiver, 0, DiffField::Identifier, a.identifier.toUtf8(),
                    b.identifier.toUtf8());
    return out.take();
}

std::string differenceLine(const SheetDifference& difference) {
    return placeName(difference) + std::string(fieldName(difference.field)) + ' ' +
           shown(difference.field, difference.a) + " | " + shown(difference.field, difference.b);
}

std::string_view fieldKey(DiffField field) {
    switch (field) {
    case DiffField::SerialWord:
        return "serialWord";
    case DiffField::Buttons:
        return "buttons";
    case DiffField::CopyLock:
        return "copyLock";
    case DiffField::Description:
        return "description";
    case DiffField::Time:
        return "time";
    case DiffField::TransientMode:
        return "transientMode";
    case DiffField::DoublePress:
        return "doublePress";
    case DiffField::Identifier:
        return "identifier";
    }
    return {};
}

} // namespace konfigor::kvr
