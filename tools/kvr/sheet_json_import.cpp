#include "kvr/sheet_json_import.h"

#include "common/codepage1250.h"
#include "sheet/serial_word.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <concepts>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <span>
#include <vector>

namespace konfigor::kvr {
namespace {

using Json = nlohmann::ordered_json;

constexpr std::array<std::string_view, 4> kDocumentKeys{"version", "identifier", "remotes",
                                                        "channels"};
constexpr std::array<std::string_view, 8> kRemoteKeys{"position", "serialWord",  "serial",
                                                      "multi",    "codeCounter", "buttons",
                                                      "copyLock", "description"};
constexpr std::array<std::string_view, 5> kChannelKeys{"channel", "time", "transientMode",
                                                       "doublePress", "description"};

// Bit 31 is the receiver's copy lock, never part of a sheet's word.
constexpr std::uint32_t kMaxSerialWord = 0x7FFF'FFFF;
// The settings file holds one character less than the field has room for.
constexpr std::size_t kMaxChannelDescription = 200;

// Thrown at the first fault and caught in sheetFromJson, so that each check need not hand its
// error back up through every level of the document.
struct Refusal {
    ImportError error;
};

[[noreturn]] void refuse(std::string field, std::string reason) {
    throw Refusal{{std::move(field), std::move(reason)}};
}

std::string elementField(const std::string& array, std::size_t index) {
    return array + '[' + std::to_string(index) + ']';
}

template <std::unsigned_integral Int>
Int integerIn(const Json& value, const std::string& field, Int min, Int max) {
    const std::string range = std::to_string(min) + ".." + std::to_string(max);
    if (!value.is_number_integer())
        refuse(field, "must be an integer " + range);
    // Negative numbers are the parser's signed kind; everything else arrives unsigned.
    const bool inRange = value.is_number_unsigned() && value.get<std::uint64_t>() >= min &&
                         value.get<std::uint64_t>() <= max;
    if (!inRange)
        refuse(field, "must be " + range);
    return static_cast<Int>(value.get<std::uint64_t>());
}

bool booleanIn(const Json& value, const std::string& field) {
    if (!value.is_boolean())
        refuse(field, "must be true or false");
    return value.get<bool>();
}

// Texts are refused rather than cut or given '?' for a character the code page lacks: either
// would change a description on its way into the file without anyone noticing.
std::string cp1250TextIn(const Json& value, const std::string& field, std::size_t maxLength) {
    if (!value.is_string())
        refuse(field, "must be a string");
    const std::string& utf8 = value.get_ref<const Json::string_t&>();
    // A zero would end the stored text early.
    if (utf8.find('\0') != std::string::npos)
        refuse(field, "must not contain U+0000");
    std::string text = cp1250::fromUtf8(utf8);
    if (cp1250::toUtf8(text) != utf8)
        refuse(field, "has characters that code page 1250 cannot hold");
    if (text.size() > maxLength)
        refuse(field, "must be at most " + std::to_string(maxLength) + " characters long");
    return text;
}

// One object of the document with the path that names it in messages. Keys other than the
// expected ones are refused: a misspelt key must not quietly leave its value behind.
class JsonObject {
public:
    JsonObject(const Json& value, std::string field, std::span<const std::string_view> keys)
        : value_(value), field_(std::move(field)) {
        if (!value.is_object())
            refuse(field_, "must be an object");
        for (auto member = value.begin(); member != value.end(); ++member) {
            if (std::find(keys.begin(), keys.end(), member.key()) == keys.end())
                refuse(fieldOf(member.key()), "unknown key");
        }
    }

    const std::string& field() const { return field_; }
    std::string fieldOf(std::string_view key) const {
        return field_.empty() ? std::string(key) : field_ + '.' + std::string(key);
    }

    const Json* member(std::string_view key) const {
        const auto found = value_.find(std::string(key));
        return found == value_.end() ? nullptr : &*found;
    }

    template <std::unsigned_integral Int>
    std::optional<Int> integer(std::string_view key, Int min = 0,
                               Int max = std::numeric_limits<Int>::max()) const {
        const Json* value = member(key);
        return value ? std::optional(integerIn(*value, fieldOf(key), min, max)) : std::nullopt;
    }

    template <std::unsigned_integral Int>
    Int requiredInteger(std::string_view key, Int min, Int max) const {
        if (!member(key))
            refuse(fieldOf(key), "missing");
        return *integer(key, min, max);
    }

    std::optional<bool> boolean(std::string_view key) const {
        const Json* value = member(key);
        return value ? std::optional(booleanIn(*value, fieldOf(key))) : std::nullopt;
    }

    std::optional<std::string> text(std::string_view key, std::size_t maxLength) const {
        const Json* value = member(key);
        return value ? std::optional(cp1250TextIn(*value, fieldOf(key), maxLength)) : std::nullopt;
    }

private:
    const Json& value_;
    std::string field_;
};

std::uint32_t serialWordOf(const JsonObject& remote) {
    const auto word = remote.integer<std::uint32_t>("serialWord", 0, kMaxSerialWord);
    // Given alone, serial names a remote, and 0 names none.
    const auto serial =
        remote.integer<std::uint32_t>("serial", word ? 0 : 1, serial_word::kNumberMask);
    const auto multi = remote.boolean("multi");
    if (!word) {
        if (!serial)
            refuse(remote.field(), "needs serialWord or serial");
        return serial_word::withMulti(*serial, multi.value_or(false));
    }
    // The export writes all three; one edited without the others must not be silently dropped.
    if (serial && *serial != serial_word::serialNumber(*word))
        refuse(remote.fieldOf("serial"), "does not match serialWord");
    if (multi && *multi != serial_word::isMulti(*word))
        refuse(remote.fieldOf("multi"), "does not match serialWord");
    return *word;
}

std::array<std::uint16_t, kButtonCount> buttonMasksIn(const Json& value, const std::string& field) {
    if (!value.is_array() || value.size() != kButtonCount)
        refuse(field, "must be an array of " + std::to_string(kButtonCount) + " masks");
    std::array<std::uint16_t, kButtonCount> masks{};
    for (std::size_t button = 0; button < kButtonCount; ++button)
        masks[button] = integerIn<std::uint16_t>(value[button], elementField(field, button), 0,
                                                 kChannelMaskBits);
    return masks;
}

RemoteEntry remoteOf(const JsonObject& remote) {
    RemoteEntry entry = RemoteEntry::cleared();
    entry.serialWord = serialWordOf(remote);
    entry.codeCounter = remote.integer<std::uint16_t>("codeCounter").value_or(entry.codeCounter);
    if (const Json* buttons = remote.member("buttons"))
        entry.buttonMasks = buttonMasksIn(*buttons, remote.fieldOf("buttons"));
    entry.copyLock = remote.boolean("copyLock").value_or(entry.copyLock);
    if (const auto text = remote.text("description", DescriptionText::kMaxLength))
        entry.description.assign(*text);
    return entry;
}

ChannelEntry channelOf(const JsonObject& channel) {
    ChannelEntry entry = ChannelEntry::factory();
    entry.time = channel.integer<std::uint16_t>("time").value_or(entry.time);
    entry.transientMode = channel.boolean("transientMode").value_or(entry.transientMode);
    entry.doublePress = channel.boolean("doublePress").value_or(entry.doublePress);
    if (const auto text = channel.text("description", kMaxChannelDescription))
        entry.description.assign(*text);
    return entry;
}

const Json& arrayIn(const Json& value, const std::string& field) {
    if (!value.is_array())
        refuse(field, "must be an array");
    return value;
}

void readRemotes(const Json& value, RemoteSlots& slots) {
    const std::string field = "remotes";
    const Json& list = arrayIn(value, field);
    std::bitset<kRemoteSlotCount> listed;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const JsonObject remote(list[i], elementField(field, i), kRemoteKeys);
        const auto position = remote.requiredInteger<std::size_t>("position", 1, kRemoteSlotCount);
        if (listed.test(position - 1))
            refuse(remote.fieldOf("position"), std::to_string(position) + " is listed twice");
        listed.set(position - 1);
        slots[position - 1] = remoteOf(remote);
    }
}

void readChannels(const Json& value, Channels& channels) {
    const std::string field = "channels";
    const Json& list = arrayIn(value, field);
    std::bitset<kChannelCount> listed;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const JsonObject channel(list[i], elementField(field, i), kChannelKeys);
        const auto number = channel.requiredInteger<std::size_t>("channel", 1, kChannelCount);
        if (listed.test(number - 1))
            refuse(channel.fieldOf("channel"), std::to_string(number) + " is listed twice");
        listed.set(number - 1);
        channels[number - 1] = channelOf(channel);
    }
}

SettingsSheet sheetOf(const Json& document) {
    if (!document.is_object())
        refuse("", "the document must be a JSON object");
    const JsonObject top(document, "", kDocumentKeys);
    // Only checked: the writer always writes its own format version.
    top.integer<std::uint16_t>("version");

    SettingsSheet sheet;
    if (const auto text = top.text("identifier", IdentifierText::kMaxLength))
        sheet.identifier.assign(*text);
    if (const Json* remotes = top.member("remotes"))
        readRemotes(*remotes, sheet.remotes);
    if (const Json* channels = top.member("channels"))
        readChannels(*channels, sheet.channels);
    return sheet;
}

std::string withoutExceptionId(std::string_view what) {
    // "[json.exception.parse_error.101] parse error at ..." -> "parse error at ..."
    const std::size_t end = what.find("] ");
    return std::string(end == std::string_view::npos ? what : what.substr(end + 2));
}

// The parser keeps the last of two equal keys in an object; they are refused instead, so that
// neither value is lost unnoticed.
Json parseDocument(std::string_view text) {
    std::vector<std::set<std::string>> openObjects;
    std::optional<std::string> repeatedKey;
    const Json::parser_callback_t noteRepeatedKeys = [&](int, Json::parse_event_t event,
                                                         Json& parsed) {
        if (event == Json::parse_event_t::object_start) {
            openObjects.emplace_back();
        } else if (event == Json::parse_event_t::object_end) {
            openObjects.pop_back();
        } else if (event == Json::parse_event_t::key && !repeatedKey &&
                   !openObjects.back().insert(parsed.get<std::string>()).second) {
            repeatedKey = parsed.get<std::string>();
        }
        return true;
    };
    Json document;
    try {
        document = Json::parse(text.begin(), text.end(), noteRepeatedKeys);
    } catch (const Json::parse_error& error) {
        refuse("", "not valid JSON: " + withoutExceptionId(error.what()));
    }
    if (repeatedKey)
        refuse("", "key \"" + *repeatedKey + "\" appears twice in one object");
    return document;
}

} // namespace

std::variant<SettingsSheet, ImportError> sheetFromJson(std::string_view json) {
    try {
        return sheetOf(parseDocument(json));
    } catch (const Refusal& refusal) {
        return refusal.error;
    } catch (const Json::exception& error) {
        // Every access is checked before it is made; this only keeps a case missed from escaping.
        return ImportError{"", withoutExceptionId(error.what())};
    }
}

} // namespace konfigor::kvr
