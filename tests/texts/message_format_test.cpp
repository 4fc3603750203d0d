#include "texts/message_format.h"

#include <climits>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using Kinds = std::vector<ArgKind>;
constexpr ArgKind S = ArgKind::SignedInt;
constexpr ArgKind U = ArgKind::UnsignedInt;
constexpr ArgKind C = ArgKind::Char;
constexpr ArgKind T = ArgKind::String;
constexpr ArgKind F = ArgKind::Floating;

TEST(PlaceholderKinds, ReadsEveryAcceptedForm) {
    struct Case {
        std::string_view format;
        Kinds kinds;
    };
    const Case cases[] = {
        {"", {}},
        {"no placeholders", {}},
        {"100%% sure", {}},
        {"%i %d %u %s %c", {S, S, U, T, C}},
        {"%5.2f %%", {F}},
        {"Monostabilny [%.1lf]", {F}},
        {"Czas: %5.1f", {F}},
        {"%04u-%02u-%02u_%02u", {U, U, U, U}},
        {"%x %X %o %#x %#o", {U, U, U, U, U}},
        {"%hhd %hd %ld %lld %hhu %llu", {S, S, S, S, U, U}},
        {"%e %E %g %G %F %lf", {F, F, F, F, F, F}},
        {"%-+ #0999.999d", {S}},
        {"%.f %.d %-3c %10s", {F, S, C, T}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        const std::optional<Kinds> kinds = placeholderKinds(c.format);
        ASSERT_TRUE(kinds.has_value());
        EXPECT_EQ(*kinds, c.kinds);
    }
}

TEST(PlaceholderKinds, RefusesWhatCouldMisreadArguments) {
    const std::string_view cases[] = {
        "%n",          "count %d%n", "%*d",   "%.*f",  "%1000d", "%.1000f", "%q",
        "ends with %", "%5",         "%-",    "%.1l",  "%ls",    "%lc",     "%hf",
        "%llf",        "%Lf",        "%lld%", "%llld", "%p",     "%a",      "%zu",
    };
    for (const std::string_view format : cases) {
        EXPECT_FALSE(placeholderKinds(format).has_value()) << format;
    }
}

TEST(PlaceholdersMatch, AcceptsOnlyTheSameKindsInTheSameOrder) {
    struct Case {
        std::string_view candidate;
        std::string_view builtIn;
        bool matches;
    };
    constexpr std::string_view kLine50 = "Odebrano sygnał pilota z pozycji numer %i";
    constexpr std::string_view kLine92 =
        "Czy chcesz zastąpić nastawy kanału w arkuszu %i nowymi nastawami z pliku?\nArkusz:\n  "
        "Czas: %5.1f\nPlik:\n  Czas: %5.1f";
    constexpr std::string_view kLine21 = "Ten pilot jest już zapisany w arkuszu na pozycji %i";
    const Case cases[] = {
        {"Remote signal received from position %i", kLine50, true},
        {"Position %d pressed", kLine50, true},
        {"Replace channel %i?\nSheet: %.2f s\nFile: %8.3lf s", kLine92, true},
        {"Text without placeholders", "Zmiany zapisane", true},
        {"Remote %s at %i", "Remote %i at %s", false},
        {"Remote signal received", kLine50, false},
        {"Position %i, serial %s", kLine50, false},
        {"Position %u", kLine50, false},
        {"Replace channel %i?\nSheet: %.2f s", kLine92, false},
        {"Position %i%n", kLine50, false},
        {"Position %*i", kLine50, false},
        {"Already at 100% %i", kLine21, false},
        {"%i", "broken %", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(placeholdersMatch(c.candidate, c.builtIn), c.matches) << c.candidate;
    }
}

TEST(FormatMessage, FormatsLikePrintfInTheCLocale) {
    struct Case {
        std::string_view format;
        std::vector<FormatArg> args;
        std::string_view expected;
    };
    // A FormatArg only refers to a string's characters, so the string outlives the table.
    const std::string key = "key";
    const Case cases[] = {
        {"Odebrano sygnał pilota z pozycji numer %i",
         {12},
         "Odebrano sygnał pilota z pozycji numer 12"},
        {"Strona %i z %i", {2, 5}, "Strona 2 z 5"},
        {"Nierozpoznana wersja pliku (%u).", {7u}, "Nierozpoznana wersja pliku (7)."},
        {"%u", {-1}, "4294967295"},
        {"%u", {-1LL}, "18446744073709551615"},
        {"%i", {4294967295u}, "-1"},
        {"%d", {LLONG_MIN}, "-9223372036854775808"},
        {"%hhu %hd", {257, 65535}, "1 -1"},
        {"Wykryto pilota o numerze %s", {"(M) 1234"}, "Wykryto pilota o numerze (M) 1234"},
        {"P%c\t", {'3'}, "P3\t"},
        {"%c", {65}, "A"},
        {"%5.2f %%", {47.368421}, "47.37 %"},
        {"Monostabilny [%.1lf]", {2.5}, "Monostabilny [2.5]"},
        {"Monostabilny [%.1lf]", {0.05}, "Monostabilny [0.1]"},
        {"Czas: %5.1f", {0.5}, "Czas:   0.5"},
        {"%04u-%02u-%02u_%02u", {2024u, 3u, 9u, 0u}, "2024-03-09_00"},
        {"[%5d|%-5d|%05d|%+d|% d]", {42, 42, -42, 42, 42}, "[   42|42   |-0042|+42| 42]"},
        {"[%.3d|%.0d|%08.3d]", {7, 0, 7}, "[007||     007]"},
        {"[%x|%X|%#x|%#o|%o|%#x]", {255u, 255u, 255u, 8u, 8u, 0u}, "[ff|FF|0xff|010|10|0]"},
        {"[%e|%E|%.0e|%#.0e]",
         {12345.678, 0.5, 2.0, 2.0},
         "[1.234568e+04|5.000000E-01|2e+00|2.e+00]"},
        {"[%f|%.0f|%#.0f|%F]",
         {1.0 / 3.0, 2.5, 3.0, 1e20},
         "[0.333333|2|3.|100000000000000000000.000000]"},
        {"[%g|%g|%g|%g|%g]",
         {100.0, 0.0001, 1e-5, 123456789.0, 0.0},
         "[100|0.0001|1e-05|1.23457e+08|0]"},
        {"[%#g|%.3g|%G|%.0g]", {1.0, 2.0004, 1e-10, 26.0}, "[1.00000|2|1E-10|3e+01]"},
        {"[%f|%5.1f|%-6.1f|%+.1f]", {-0.25, -1.25, 1.25, 0.0}, "[-0.250000| -1.2|1.2   |+0.0]"},
        {"%s", {"zażółć\r\ngęślą"}, "zażółć\r\ngęślą"},
        {"[%-6s|%6s|%.2s]", {"ąb", "ąb", "żółw"}, "[ąb    |    ąb|żó]"},
        {"%s=%s", {key, std::string_view("value")}, "key=value"},
        {"%s", {static_cast<const char*>(nullptr)}, ""},
        {"100%%", {}, "100%"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        const std::optional<std::string> formatted = formatMessage(c.format, c.args);
        ASSERT_TRUE(formatted.has_value());
        EXPECT_EQ(*formatted, c.expected);
    }
}

TEST(FormatMessage, KeepsInfinityAndNanOutOfZeroPadding) {
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    EXPECT_EQ(formatMessage("[%06f|%-5F|%+f]", {kInfinity, -kInfinity, std::nan("")}),
              "[   inf|-INF |+nan]");
}

TEST(FormatMessage, RefusesArgumentsThatDoNotFit) {
    struct Case {
        std::string_view format;
        std::vector<FormatArg> args;
    };
    const Case cases[] = {
        {"Strona %i z %i", {1}},
        {"Strona %i", {1, 2}},
        {"Plain text", {1}},
        {"%i", {"12"}},
        {"%s", {12}},
        {"%d", {1.5}},
        {"%f", {1}},
        {"%d", {'1'}},
        {"%c", {"x"}},
        {"%n", {1}},
        {"trailing %", {}},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(formatMessage(c.format, c.args).has_value()) << c.format;
    }
}

} // namespace
} // namespace konfigor
