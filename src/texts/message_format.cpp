#include "texts/message_format.h"

#include "common/utf8.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace konfigor {
namespace {

// Three digits are more than any text of the program needs and keep every field small.
constexpr std::size_t kMaxNumberDigits = 3;

enum class Length { None, Char, Short, Long, LongLong };

struct Placeholder {
    bool leftAlign = false;
    bool plusSign = false;
    bool spaceSign = false;
    bool alternate = false;
    bool zeroPad = false;
    std::size_t width = 0;
    std::optional<std::size_t> precision;
    Length length = Length::None;
    char conversion = '\0';
    ArgKind kind = ArgKind::SignedInt;
};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Up to kMaxNumberDigits digits at `pos`; nothing when a fourth follows. No digits read as 0,
// as C reads "%.f".
std::optional<std::size_t> readNumber(std::string_view format, std::size_t& pos) {
    std::size_t value = 0;
    std::size_t digits = 0;
    while (pos < format.size() && isDigit(format[pos])) {
        if (++digits > kMaxNumberDigits) {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::size_t>(format[pos] - '0');
        ++pos;
    }
    return value;
}

Length readLength(std::string_view format, std::size_t& pos) {
    const auto doubled = [&](char c) {
        return pos + 1 < format.size() && format[pos] == c && format[pos + 1] == c;
    };
    if (doubled('h')) {
        pos += 2;
        return Length::Char;
    }
    if (doubled('l')) {
        pos += 2;
        return Length::LongLong;
    }
    if (pos < format.size() && format[pos] == 'h') {
        ++pos;
        return Length::Short;
    }
    if (pos < format.size() && format[pos] == 'l') {
        ++pos;
        return Length::Long;
    }
    return Length::None;
}

std::optional<ArgKind> kindOf(char conversion, Length length) {
    switch (conversion) {
    case 'd':
    case 'i':
        return ArgKind::SignedInt;
    case 'u':
    case 'x':
    case 'X':
    case 'o':
        return ArgKind::UnsignedInt;
    case 'c':
    case 's':
        // %lc and %ls take wide characters, which this program never passes.
        if (length != Length::None) {
            return std::nullopt;
        }
        return conversion == 'c' ? ArgKind::Char : ArgKind::String;
    case 'f':
    case 'F':
    case 'e':
    case 'E':
    case 'g':
    case 'G':
        // %lf is the same as %f; h, hh and ll are undefined on a double.
        if (length != Length::None && length != Length::Long) {
            return std::nullopt;
        }
        return ArgKind::Floating;
    default:
        return std::nullopt;
    }
}

// The placeholder whose '%' is just before `pos`; on success `pos` is just past it.
std::optional<Placeholder> parsePlaceholder(std::string_view format, std::size_t& pos) {
    Placeholder placeholder;
    for (; pos < format.size(); ++pos) {
        const char c = format[pos];
        if (c == '-') {
            placeholder.leftAlign = true;
        } else if (c == '+') {
            placeholder.plusSign = true;
        } else if (c == ' ') {
            placeholder.spaceSign = true;
        } else if (c == '#') {
            placeholder.alternate = true;
        } else if (c == '0') {
            placeholder.zeroPad = true;
        } else {
            break;
        }
    }
    const std::optional<std::size_t> width = readNumber(format, pos);
    if (!width) {
        return std::nullopt;
    }
    placeholder.width = *width;
    if (pos < format.size() && format[pos] == '.') {
        ++pos;
        placeholder.precision = readNumber(format, pos);
        if (!placeholder.precision) {
            return std::nullopt;
        }
    }
    placeholder.length = readLength(format, pos);
    if (pos >= format.size()) {
        return std::nullopt;
    }
    placeholder.conversion = format[pos++];
    const std::optional<ArgKind> kind = kindOf(placeholder.conversion, placeholder.length);
    if (!kind) {
        return std::nullopt;
    }
    placeholder.kind = *kind;
    return placeholder;
}

// Hands the literal runs of `format` ("%%" as "%") to onText and each placeholder to
// onPlaceholder, in order. Stops with false at an invalid placeholder or when onPlaceholder
// returns false.
template <class OnText, class OnPlaceholder>
bool walkFormat(std::string_view format, OnText onText, OnPlaceholder onPlaceholder) {
    std::size_t pos = 0;
    while (pos < format.size()) {
        const std::size_t percent = format.find('%', pos);
        if (percent == std::string_view::npos) {
            onText(format.substr(pos));
            return true;
        }
        onText(format.substr(pos, percent - pos));
        pos = percent + 1;
        if (pos < format.size() && format[pos] == '%') {
            onText(std::string_view("%"));
            ++pos;
            continue;
        }
        const std::optional<Placeholder> placeholder = parsePlaceholder(format, pos);
        if (!placeholder || !onPlaceholder(*placeholder)) {
            return false;
        }
    }
    return true;
}

bool accepts(ArgKind wanted, ArgKind given) {
    const bool integer = given == ArgKind::SignedInt || given == ArgKind::UnsignedInt;
    switch (wanted) {
    case ArgKind::SignedInt:
    case ArgKind::UnsignedInt:
        return integer;
    case ArgKind::Char:
        return integer || given == ArgKind::Char;
    case ArgKind::String:
    case ArgKind::Floating:
        return given == wanted;
    }
    return false;
}

// Places sign or prefix and body in the field the way printf does. `bodyCharacters` is the
// body's width on screen, which for a UTF-8 string is less than its size.
void appendField(std::string& out, const Placeholder& placeholder, std::string_view prefix,
                 std::string_view body, std::size_t bodyCharacters, bool zeroPadAllowed) {
    const std::size_t used = prefix.size() + bodyCharacters;
    const std::size_t fill = placeholder.width > used ? placeholder.width - used : 0;
    if (placeholder.leftAlign) {
        out.append(prefix).append(body).append(fill, ' ');
    } else if (placeholder.zeroPad && zeroPadAllowed) {
        out.append(prefix).append(fill, '0').append(body);
    } else {
        out.append(fill, ' ').append(prefix).append(body);
    }
}

std::string_view signOf(bool negative, const Placeholder& placeholder) {
    if (negative) {
        return "-";
    }
    if (placeholder.plusSign) {
        return "+";
    }
    return placeholder.spaceSign ? " " : "";
}

long long narrowSigned(long long value, Length length) {
    switch (length) {
    case Length::Char:
        return static_cast<signed char>(value);
    case Length::Short:
        return static_cast<short>(value);
    default:
        return value;
    }
}

unsigned long long narrowUnsigned(unsigned long long value, Length length) {
    switch (length) {
    case Length::Char:
        return static_cast<unsigned char>(value);
    case Length::Short:
        return static_cast<unsigned short>(value);
    default:
        return value;
    }
}

void toUpperAscii(std::string& text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
}

void appendInteger(std::string& out, const Placeholder& placeholder, const FormatArg& arg) {
    bool negative = false;
    unsigned long long magnitude = 0;
    int base = 10;
    if (placeholder.kind == ArgKind::SignedInt) {
        const long long value = narrowSigned(arg.asSigned(), placeholder.length);
        negative = value < 0;
        // Unsigned negation keeps the smallest value of long long exact.
        magnitude = negative ? 0ULL - static_cast<unsigned long long>(value)
                             : static_cast<unsigned long long>(value);
    } else {
        magnitude = narrowUnsigned(arg.asUnsigned(), placeholder.length);
        base = placeholder.conversion == 'o' ? 8 : placeholder.conversion == 'u' ? 10 : 16;
    }

    std::array<char, 24> buffer{};
    const auto result =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude, base);
    std::string digits(buffer.data(), result.ptr);
    if (placeholder.conversion == 'X') {
        toUpperAscii(digits);
    }
    const std::size_t precision = placeholder.precision.value_or(1);
    if (precision == 0 && magnitude == 0) {
        digits.clear();
    }
    if (digits.size() < precision) {
        digits.insert(0, precision - digits.size(), '0');
    }

    std::string_view prefix =
        placeholder.kind == ArgKind::SignedInt ? signOf(negative, placeholder) : "";
    if (placeholder.alternate && placeholder.conversion == 'o' &&
        (digits.empty() || digits.front() != '0')) {
        digits.insert(0, 1, '0');
    }
    if (placeholder.alternate && magnitude != 0 &&
        (placeholder.conversion == 'x' || placeholder.conversion == 'X')) {
        prefix = placeholder.conversion == 'x' ? "0x" : "0X";
    }
    // A precision sets the digits itself, so C ignores the 0 flag then.
    appendField(out, placeholder, prefix, digits, digits.size(),
                !placeholder.precision.has_value());
}

// Room for the longest double (309 digits) with the largest precision, in any notation.
using FloatBuffer = std::array<char, 1400>;

std::string toChars(double value, std::chars_format notation, std::size_t precision) {
    FloatBuffer buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, notation,
                                      static_cast<int>(precision));
    return std::string(buffer.data(), result.ptr);
}

int exponentOf(const std::string& scientific) {
    const std::size_t e = scientific.find('e');
    return std::atoi(scientific.c_str() + e + 1);
}

void ensurePoint(std::string& body) {
    if (body.find('.') == std::string::npos) {
        const std::size_t e = body.find('e');
        body.insert(e == std::string::npos ? body.size() : e, 1, '.');
    }
}

// %g: the shorter of %e and %f for the value's magnitude, without trailing zeros unless '#'.
std::string generalNotation(double magnitude, std::size_t precision, bool alternate) {
    const std::size_t significant = precision == 0 ? 1 : precision;
    std::string body = toChars(magnitude, std::chars_format::scientific, significant - 1);
    const int exponent = exponentOf(body);
    if (exponent >= -4 && exponent < static_cast<int>(significant)) {
        const auto decimals =
            static_cast<std::size_t>(static_cast<int>(significant) - 1 - exponent);
        body = toChars(magnitude, std::chars_format::fixed, decimals);
    }
    if (alternate) {
        ensurePoint(body);
        return body;
    }
    const std::size_t point = body.find('.');
    if (point != std::string::npos) {
        const std::size_t e = std::min(body.find('e'), body.size());
        std::size_t keep = e;
        while (keep > point + 1 && body[keep - 1] == '0') {
            --keep;
        }
        if (keep == point + 1) {
            keep = point;
        }
        body.erase(keep, e - keep);
    }
    return body;
}

// std::to_chars rather than snprintf: it never reads the process locale, so a Polish locale
// cannot turn the point into a comma.
void appendFloating(std::string& out, const Placeholder& placeholder, double value) {
    const bool negative = std::signbit(value);
    const double magnitude = std::fabs(value);
    const char conversion = placeholder.conversion;
    const bool upper = conversion == 'F' || conversion == 'E' || conversion == 'G';
    std::string body;
    if (!std::isfinite(magnitude)) {
        body = std::isnan(magnitude) ? "nan" : "inf";
    } else {
        const std::size_t precision = placeholder.precision.value_or(6);
        if (conversion == 'f' || conversion == 'F') {
            body = toChars(magnitude, std::chars_format::fixed, precision);
        } else if (conversion == 'e' || conversion == 'E') {
            body = toChars(magnitude, std::chars_format::scientific, precision);
        } else {
            body = generalNotation(magnitude, precision, placeholder.alternate);
        }
        if (placeholder.alternate) {
            ensurePoint(body);
        }
    }
    if (upper) {
        toUpperAscii(body);
    }
    appendField(out, placeholder, signOf(negative, placeholder), body, body.size(),
                std::isfinite(magnitude));
}

char characterOf(const FormatArg& arg) {
    if (arg.kind() == ArgKind::Char) {
        return arg.character();
    }
    return static_cast<char>(static_cast<unsigned char>(arg.asUnsigned() & 0xFFU));
}

void appendArgument(std::string& out, const Placeholder& placeholder, const FormatArg& arg) {
    switch (placeholder.kind) {
    case ArgKind::SignedInt:
    case ArgKind::UnsignedInt:
        appendInteger(out, placeholder, arg);
        return;
    case ArgKind::Char: {
        const char c = characterOf(arg);
        appendField(out, placeholder, "", std::string_view(&c, 1), 1, false);
        return;
    }
    case ArgKind::String: {
        const std::string_view text =
            placeholder.precision ? utf8::first(arg.text(), *placeholder.precision) : arg.text();
        appendField(out, placeholder, "", text, utf8::count(text), false);
        return;
    }
    case ArgKind::Floating:
        appendFloating(out, placeholder, arg.floating());
        return;
    }
}

} // namespace

long long FormatArg::asSigned() const {
    if (kind_ == ArgKind::UnsignedInt && bytes_ < sizeof(long long)) {
        // An unsigned int read through %d: its top bit is the sign, as in C.
        const std::uint64_t signBit = std::uint64_t{1} << (bytes_ * 8 - 1);
        return static_cast<long long>((bits_ ^ signBit) - signBit);
    }
    return static_cast<long long>(bits_);
}

unsigned long long FormatArg::asUnsigned() const {
    if (kind_ == ArgKind::SignedInt && bytes_ < sizeof(long long)) {
        return bits_ & ((std::uint64_t{1} << (bytes_ * 8)) - 1);
    }
    return bits_;
}

std::optional<std::vector<ArgKind>> placeholderKinds(std::string_view format) {
    std::vector<ArgKind> kinds;
    const bool valid = walkFormat(
        format, [](std::string_view) {},
        [&](const Placeholder& placeholder) {
            kinds.push_back(placeholder.kind);
            return true;
        });
    if (!valid) {
        return std::nullopt;
    }
    return kinds;
}

bool placeholdersMatch(std::string_view candidate, std::string_view builtIn) {
    const auto candidateKinds = placeholderKinds(candidate);
    const auto builtInKinds = placeholderKinds(builtIn);
    return candidateKinds && builtInKinds && *candidateKinds == *builtInKinds;
}

std::optional<std::string> formatMessage(std::string_view format, std::span<const FormatArg> args) {
    std::string out;
    std::size_t next = 0;
    const bool valid = walkFormat(
        format, [&](std::string_view text) { out.append(text); },
        [&](const Placeholder& placeholder) {
            if (next == args.size() || !accepts(placeholder.kind, args[next].kind())) {
                return false;
            }
            appendArgument(out, placeholder, args[next++]);
            return true;
        });
    if (!valid || next != args.size()) {
        return std::nullopt;
    }
    return out;
}

} // namespace konfigor
