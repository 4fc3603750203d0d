#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// printf-style formatting of the program's texts. A language file may replace any format string,
// so nothing here hands a format to printf: placeholders are parsed and checked against the
// arguments, and a text that does not fit its arguments is refused instead of read past them.
namespace konfigor {

// What a placeholder consumes: d i -> SignedInt; u x X o -> UnsignedInt; c -> Char; s -> String;
// f F e E g G -> Floating.
enum class ArgKind { SignedInt, UnsignedInt, Char, String, Floating };

// The kinds of the placeholders of `format`, in order; nothing when it holds one this program
// refuses. Accepted: "%%" and %[flags -+ 0#space][width][.precision][h hh l ll]conversion, width
// and precision of at most three digits. Refused among others: %n, '*', %ls and %lc (wide
// characters), a length other than l on a floating conversion, and a lone '%' at the end.
std::optional<std::vector<ArgKind>> placeholderKinds(std::string_view format);

// True when both formats are valid and consume the same kinds in the same order; widths,
// precisions and flags may differ. A translation must pass this against the built-in text.
bool placeholdersMatch(std::string_view candidate, std::string_view builtIn);

// One argument of formatMessage. The constructors are implicit so that a call reads like printf;
// a text argument refers to the caller's characters, which must outlive the call.
class FormatArg {
public:
    FormatArg(int value) : FormatArg(signedBits(value), sizeof value, ArgKind::SignedInt) {}
    FormatArg(long value) : FormatArg(signedBits(value), sizeof value, ArgKind::SignedInt) {}
    FormatArg(long long value) : FormatArg(signedBits(value), sizeof value, ArgKind::SignedInt) {}
    FormatArg(unsigned value) : FormatArg(value, sizeof value, ArgKind::UnsignedInt) {}
    FormatArg(unsigned long value) : FormatArg(value, sizeof value, ArgKind::UnsignedInt) {}
    FormatArg(unsigned long long value) : FormatArg(value, sizeof value, ArgKind::UnsignedInt) {}
    FormatArg(double value) : kind_(ArgKind::Floating), floating_(value) {}
    FormatArg(char value) : kind_(ArgKind::Char), character_(value) {}
    FormatArg(const char* text) : kind_(ArgKind::String), text_(text ? text : "") {}
    FormatArg(std::string_view text) : kind_(ArgKind::String), text_(text) {}
    FormatArg(const std::string& text) : kind_(ArgKind::String), text_(text) {}

    ArgKind kind() const { return kind_; }

    // An integer read the way printf reads an argument of the caller's type: -1 given as an int
    // reads as 4294967295 through %u, as it does in C.
    long long asSigned() const;
    unsigned long long asUnsigned() const;

    char character() const { return character_; }
    double floating() const { return floating_; }
    std::string_view text() const { return text_; }

private:
    FormatArg(std::uint64_t bits, std::size_t bytes, ArgKind kind)
        : kind_(kind), bits_(bits), bytes_(static_cast<std::uint8_t>(bytes)) {}

    static std::uint64_t signedBits(long long value) { return static_cast<std::uint64_t>(value); }

    ArgKind kind_;
    // Integers: the two's complement bits and the size of the caller's type.
    std::uint64_t bits_ = 0;
    std::uint8_t bytes_ = 0;
    char character_ = '\0';
    double floating_ = 0.0;
    std::string_view text_;
};

// `format` filled with `args`, one placeholder at a time; nothing when the format is invalid or
// its placeholders and the arguments differ in count or kind. Either signedness of integer is
// accepted by d i u x X o and by c, which also takes a Char. Strings are copied byte for byte,
// so UTF-8 stays UTF-8; widths and string precisions count characters, not bytes. Numbers are
// written as in the C locale (a point before decimals) whatever the process locale is.
std::optional<std::string> formatMessage(std::string_view format, std::span<const FormatArg> args);

inline std::optional<std::string> formatMessage(std::string_view format,
                                                std::initializer_list<FormatArg> args) {
    return formatMessage(format, std::span<const FormatArg>(args.begin(), args.size()));
}

} // namespace konfigor
