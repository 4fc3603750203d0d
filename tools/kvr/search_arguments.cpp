#include "kvr/search_arguments.h"

#include "session/pin_rules.h"
#include "sheet/serial_word.h"

#include <charconv>
#include <string>
#include <vector>

namespace konfigor::kvr {
namespace {

// The words after the command in their order: diff tells its sides apart by where --port
// stands, so they cannot be sorted first.
struct SearchWords {
    std::vector<std::string_view> operands;
    std::vector<DiffSide> sides;
    std::optional<std::string_view> pin;
    bool json = false;
};

bool isOption(std::string_view word) {
    return word.size() > 1 && word.front() == '-';
}

std::variant<SearchWords, UsageError>
sortWords(std::string_view command, std::span<const std::string_view> words, bool takesReceiver) {
    SearchWords sorted;
    bool optionsEnded = false;
    bool portGiven = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string_view word = words[i];
        const bool receiverOption = takesReceiver && (word == "--port" || word == "--pin");
        if (optionsEnded || !isOption(word)) {
            sorted.operands.push_back(word);
            sorted.sides.push_back({std::string(word), false});
        } else if (word == "--") {
            optionsEnded = true;
        } else if (word == "--json") {
            sorted.json = true;
        } else if (receiverOption && i + 1 == words.size()) {
            return UsageError{"option " + std::string(word) + " needs " +
                              (word == "--port" ? "a port path" : "a PIN")};
        } else if (receiverOption && word == "--port") {
            if (portGiven)
                return UsageError{"option --port given twice"};
            portGiven = true;
            sorted.sides.push_back({std::string(words[++i]), true});
        } else if (receiverOption) {
            if (sorted.pin)
                return UsageError{"option --pin given twice"};
            sorted.pin = words[++i];
        } else {
            return UsageError{std::string(command) + ": unknown option " + std::string(word)};
        }
    }
    return sorted;
}

std::vector<std::filesystem::path> pathsOf(std::span<const std::string_view> words) {
    return {words.begin(), words.end()};
}

ParsedArguments matchRequest(const SearchWords& words) {
    if (words.operands.empty())
        return UsageError{"match: missing SHEET.kvr"};
    if (words.operands.size() == 1)
        return UsageError{"match: missing FOLDER"};
    return MatchRequest{.sheet = words.operands.front(),
                        .folders = pathsOf(std::span(words.operands).subspan(1)),
                        .json = words.json};
}

std::optional<std::uint32_t> serialNumberOf(std::string_view word) {
    std::uint32_t number = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), number);
    if (error != std::errc() || end != word.data() + word.size() || number == 0 ||
        number > serial_word::kNumberMask)
        return std::nullopt;
    return number;
}

ParsedArguments findRequest(const SearchWords& words) {
    if (words.operands.empty())
        return UsageError{"find: missing SERIAL"};
    const auto serial = serialNumberOf(words.operands.front());
    if (!serial)
        return UsageError{"find: SERIAL must be a number from 1 to " +
                          std::to_string(serial_word::kNumberMask)};
    if (words.operands.size() == 1)
        return UsageError{"find: missing FOLDER"};
    return FindRequest{.serialNumber = *serial,
                       .folders = pathsOf(std::span(words.operands).subspan(1)),
                       .json = words.json};
}

ParsedArguments diffRequest(const SearchWords& words) {
    if (words.sides.size() != 2)
        return UsageError{"diff: compares two of FILE.kvr and --port PORT"};
    const bool receiver = words.sides[0].receiver || words.sides[1].receiver;
    if (words.pin && !receiver)
        return UsageError{"diff: --pin is for a receiver, given with --port"};
    if (words.pin && *words.pin != kPinFromInput && !isFullPin(*words.pin))
        return UsageError{"diff: the PIN is five digits"};
    return DiffRequest{.sides = {words.sides[0], words.sides[1]},
                       .pin = words.pin ? std::optional<std::string>(*words.pin) : std::nullopt,
                       .json = words.json};
}

} // namespace

std::optional<ParsedArguments> parseSearchCommand(std::string_view command,
                                                  std::span<const std::string_view> words) {
    using Parser = ParsedArguments (*)(const SearchWords&);
    Parser parse = nullptr;
    if (command == "match")
        parse = matchRequest;
    else if (command == "find")
        parse = findRequest;
    else if (command == "diff")
        parse = diffRequest;
    else
        return std::nullopt;
    const auto sorted = sortWords(command, words, command == "diff");
    if (const auto* error = std::get_if<UsageError>(&sorted))
        return *error;
    return parse(std::get<SearchWords>(sorted));
}

} // namespace konfigor::kvr
