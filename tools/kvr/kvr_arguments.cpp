#include "kvr/kvr_arguments.h"

#include <algorithm>
#include <vector>

namespace konfigor::kvr {
namespace {

// The words after the command, sorted into file names, flags and the -o value.
struct Words {
    std::vector<std::string_view> operands;
    std::vector<std::string_view> flags;
    std::optional<std::string_view> output;
};

bool isOption(std::string_view word) {
    return word.size() > 1 && word.front() == '-';
}

std::variant<Words, UsageError> sortWords(std::span<const std::string_view> words) {
    Words sorted;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string_view word = words[i];
        if (optionsEnded || !isOption(word)) {
            sorted.operands.push_back(word);
        } else if (word == "--") {
            optionsEnded = true;
        } else if (word == "-o" || word == "--output") {
            if (i + 1 == words.size())
                return UsageError{"option " + std::string(word) + " needs a file name"};
            if (sorted.output)
                return UsageError{"option " + std::string(word) + " given twice"};
            sorted.output = words[++i];
        } else {
            sorted.flags.push_back(word);
        }
    }
    return sorted;
}

std::optional<UsageError> checkWords(std::string_view command, const Words& words,
                                     std::initializer_list<std::string_view> allowedFlags,
                                     std::string_view operandName) {
    const std::string prefix = std::string(command) + ": ";
    for (const std::string_view flag : words.flags) {
        if (std::find(allowedFlags.begin(), allowedFlags.end(), flag) == allowedFlags.end())
            return UsageError{prefix + "unknown option " + std::string(flag)};
    }
    if (words.operands.empty())
        return UsageError{prefix + "missing " + std::string(operandName)};
    if (words.operands.size() > 1)
        return UsageError{prefix + "unexpected argument " + std::string(words.operands[1])};
    return std::nullopt;
}

bool hasFlag(const Words& words, std::string_view flag) {
    return std::find(words.flags.begin(), words.flags.end(), flag) != words.flags.end();
}

ParsedArguments showRequest(const Words& words) {
    if (auto error = checkWords("show", words, {}, "FILE.kvr"))
        return *error;
    if (words.output)
        return UsageError{"show: writes to standard output only; -o does not apply"};
    return ShowRequest{words.operands.front()};
}

ParsedArguments exportRequest(const Words& words) {
    if (auto error = checkWords("export", words, {"--json", "--csv", "--all"}, "FILE.kvr"))
        return *error;
    const bool csv = hasFlag(words, "--csv");
    if (csv && hasFlag(words, "--json"))
        return UsageError{"export: choose one of --json and --csv"};
    ExportRequest request{.input = words.operands.front(),
                          .format = csv ? ExportFormat::Csv : ExportFormat::Json,
                          .slots =
                              hasFlag(words, "--all") ? SlotSelection::All : SlotSelection::Used,
                          .output = std::nullopt};
    if (words.output)
        request.output = *words.output;
    return request;
}

ParsedArguments importRequest(const Words& words) {
    if (auto error = checkWords("import", words, {}, "IN.json"))
        return *error;
    if (!words.output)
        return UsageError{"import: missing -o OUT.kvr"};
    return ImportRequest{words.operands.front(), *words.output};
}

} // namespace

ParsedArguments parseArguments(std::span<const std::string_view> args) {
    if (args.empty())
        return UsageError{"no command given"};
    const std::string_view command = args.front();
    const auto sorted = sortWords(args.subspan(1));
    if (const auto* error = std::get_if<UsageError>(&sorted))
        return *error;
    const Words& words = std::get<Words>(sorted);
    if (command == "show")
        return showRequest(words);
    if (command == "export")
        return exportRequest(words);
    if (command == "import")
        return importRequest(words);
    return UsageError{"unknown command " + std::string(command)};
}

} // namespace konfigor::kvr
