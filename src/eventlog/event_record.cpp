#include "eventlog/event_record.h"

#include "common/codepage1250.h"
#include "texts/text_table.h"

#include <algorithm>
#include <ctime>
#include <limits>

namespace konfigor {
namespace {

constexpr std::array<Msg, 4> kChannelFieldFormats{
    Msg::EventLogChannel1Field, Msg::EventLogChannel2Field, Msg::EventLogChannel3Field,
    Msg::EventLogChannel4Field};

constexpr std::size_t kDateField = 0;
constexpr std::size_t kTimeField = 1;
constexpr std::size_t kPositionField = 2;
constexpr std::size_t kDescriptionField = 3;
constexpr std::size_t kFirstChannelField = 4;
constexpr std::size_t kSerialField = 8;
constexpr std::size_t kFieldCount = 9;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads optional blanks, an optional sign and the digits after them from the front of `text`,
// as atoi does; nothing when no digit follows. Huge numbers saturate instead of overflowing.
std::optional<long long> takeInteger(std::string_view& text) {
    std::size_t pos = 0;
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        negative = text[pos++] == '-';
    if (pos == text.size() || !isDigit(text[pos]))
        return std::nullopt;
    constexpr long long kLimit = std::numeric_limits<long long>::max() / 10 - 10;
    long long value = 0;
    for (; pos < text.size() && isDigit(text[pos]); ++pos) {
        if (value < kLimit)
            value = value * 10 + (text[pos] - '0');
    }
    text.remove_prefix(pos);
    return negative ? -value : value;
}

long long leadingInteger(std::string_view text) {
    return takeInteger(text).value_or(0);
}

// 16-bit fields keep what a 16-bit store of the number keeps.
std::uint16_t low16(long long value) {
    return static_cast<std::uint16_t>(static_cast<unsigned long long>(value));
}

// "a<sep>b<sep>c" as sscanf reads it: text after the third number is ignored.
std::optional<std::array<std::uint16_t, 3>> threeNumbers(std::string_view text, char separator) {
    std::array<std::uint16_t, 3> numbers{};
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (i > 0) {
            if (text.empty() || text.front() != separator)
                return std::nullopt;
            text.remove_prefix(1);
        }
        const auto value = takeInteger(text);
        if (!value)
            return std::nullopt;
        numbers[i] = low16(*value);
    }
    return numbers;
}

std::int32_t clampedToInt32(long long value) {
    return static_cast<std::int32_t>(std::clamp<long long>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// A tab, CR or LF inside a field would split the line when it is read back.
std::string withoutControlCharacters(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }, ' ');
    return text;
}

// The translatable field with the button in it; whatever a translation holds, the field ends in
// exactly one tab and breaks nothing else.
std::string channelField(const TextTable& texts, std::size_t channel, std::uint8_t button) {
    const char digit = static_cast<char>('0' + button);
    std::string field = cp1250::fromUtf8(texts.format(kChannelFieldFormats[channel], digit));
    if (!field.empty() && field.back() == '\t')
        field.pop_back();
    return withoutControlCharacters(std::move(field)) + '\t';
}

// "%0<width>u", as the file has always had it.
std::string padded(unsigned value, std::size_t width) {
    std::string digits = std::to_string(value);
    if (digits.size() < width)
        digits.insert(0, width - digits.size(), '0');
    return digits;
}

const TextTable& builtInTexts() {
    static const TextTable texts;
    return texts;
}

} // namespace

std::string formatEventDate(const EventTime& time) {
    return padded(time.year, 4) + '-' + padded(time.month, 2) + '-' + padded(time.day, 2);
}

std::string formatEventClock(const EventTime& time) {
    return padded(time.hour, 2) + ':' + padded(time.minute, 2) + ':' + padded(time.second, 2);
}

EventTime eventTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return {.year = static_cast<std::uint16_t>(local.tm_year + 1900),
            .month = static_cast<std::uint16_t>(local.tm_mon + 1),
            .day = static_cast<std::uint16_t>(local.tm_mday),
            .hour = static_cast<std::uint16_t>(local.tm_hour),
            .minute = static_cast<std::uint16_t>(local.tm_min),
            .second = static_cast<std::uint16_t>(local.tm_sec)};
}

EventRecord remotePressEvent(const RemotePress& press, std::string_view descriptionCp1250,
                             EventTime time) {
    EventRecord record;
    record.time = time;
    record.position = static_cast<std::int32_t>(press.slot + 1);
    record.description.assign(descriptionCp1250);
    record.button = static_cast<std::uint8_t>(press.button);
    record.channelMask = static_cast<std::uint8_t>(press.channelMask & 0x0F);
    record.serialNumber = press.serialWord;
    return record;
}

std::string formatEventLine(const EventRecord& record, const TextTable& texts) {
    std::string line = formatEventDate(record.time) + '\t' + formatEventClock(record.time) + '\t' +
                       std::to_string(record.position) + '\t';
    line += withoutControlCharacters(std::string(record.description.view()));
    line += '\t';
    for (std::size_t channel = 0; channel < 4; ++channel) {
        if ((record.channelMask >> channel) & 1U)
            line += channelField(texts, channel, record.button);
        else
            line += '\t';
    }
    return line + std::to_string(static_cast<std::int32_t>(record.serialNumber)) + "\r\n";
}

std::string formatEventLine(const EventRecord& record) {
    return formatEventLine(record, builtInTexts());
}

std::optional<EventRecord> parseEventLine(std::string_view line) {
    std::array<std::string_view, kFieldCount> fields{};
    std::size_t count = 0;
    std::size_t start = 0;
    for (std::size_t pos = 0; pos < line.size() && count < kFieldCount; ++pos) {
        if (line[pos] == '\t' || line[pos] == '\r') {
            fields[count++] = line.substr(start, pos - start);
            start = pos + 1;
        }
    }
    const auto date = count > kDateField ? threeNumbers(fields[kDateField], '-') : std::nullopt;
    const auto time = count > kTimeField ? threeNumbers(fields[kTimeField], ':') : std::nullopt;
    if (!date || !time)
        return std::nullopt;

    EventRecord record;
    record.time = {.year = (*date)[0],
                   .month = (*date)[1],
                   .day = (*date)[2],
                   .hour = (*time)[0],
                   .minute = (*time)[1],
                   .second = (*time)[2]};
    record.position = clampedToInt32(leadingInteger(fields[kPositionField]));
    record.description.assign(fields[kDescriptionField]);
    for (std::size_t channel = 0; channel < 4; ++channel) {
        const std::string_view field = fields[kFirstChannelField + channel];
        if (field.size() >= 2) {
            record.button = static_cast<std::uint8_t>(field[1] - '0');
            record.channelMask |= static_cast<std::uint8_t>(1U << channel);
        }
    }
    record.serialNumber =
        static_cast<std::uint32_t>(clampedToInt32(leadingInteger(fields[kSerialField])));
    return record;
}

std::string eventLogHeader(const TextTable& texts, std::string_view identifierUtf8,
                           const std::array<std::string_view, 4>& channelsUtf8) {
    const auto field = [](std::string_view utf8) {
        return withoutControlCharacters(cp1250::fromUtf8(utf8));
    };
    std::string header = cp1250::fromUtf8(texts.format(
        Msg::EventLogIdentifierHeader, withoutControlCharacters(std::string(identifierUtf8))));
    header += cp1250::fromUtf8(texts.text(Msg::EventLogColumnsHeader));
    header += "\t\t\t\t";
    for (const std::string_view channel : channelsUtf8)
        header += field(channel) + '\t';
    return header + "\r\n";
}

} // namespace konfigor
