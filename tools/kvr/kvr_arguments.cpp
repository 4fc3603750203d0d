#include "kvr/kvr_arguments.h"

#include <algorithm>
#include <array>
#include <map>
#include <vector>

namespace konfigor::kvr {
namespace {

// An option followed by its value; spellings of the same option share the canonical name.
struct ValueOption {
    std::string_view spelling;
    std::string_view canonical;
    std::string_view valueName;
};

constexpr std::array<ValueOption, 5> kValueOptions{{
    {"-o", "-o", "a file name"},
    {"--output", "-o", "a file name"},
    {"--port", "--port", "a port path"},
    {"--pin", "--pin", "a PIN"},
    {"--image", "--image", "a file name"},
}};

// The words after the command, sorted into operands, flags and option values.
struct Words {
    std::vector<std::string_view> operands;
    std::vector<std::string_view> flags;
    // By canonical name.
    std::map<std::string_view, std::string_view> values;
};

bool isOption(std::string_view word) {
    return word.size() > 1 && word.front() == '-';
}

const ValueOption* valueOption(std::string_view word) {
    const auto* found = std::find_if(kValueOptions.begin(), kValueOptions.end(),
                                     [&](const ValueOption& o) { return o.spelling == word; });
    return found == kValueOptions.end() ? nullptr : found;
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
        } else if (const ValueOption* option = valueOption(word)) {
            if (i + 1 == words.size())
                return UsageError{"option " + std::string(word) + " needs " +
                                  std::string(option->valueName)};
            if (!sorted.values.emplace(option->canonical, words[++i]).second)
                return UsageError{"option " + std::string(word) + " given twice"};
        } else {
            sorted.flags.push_back(word);
        }
    }
    return sorted;
}

template <class Names>
bool contains(const Names& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// What each command accepts. An empty operand name means the command takes no operand.
struct CommandShape {
    std::string_view command;
    std::initializer_list<std::string_view> flags;
    std::initializer_list<std::string_view> values;
    std::string_view operandName;
};

std::optional<UsageError> checkWords(const CommandShape& shape, const Words& words) {
    const std::string prefix = std::string(shape.command) + ": ";
    for (const std::string_view flag : words.flags) {
        if (!contains(shape.flags, flag))
            return UsageError{prefix + "unknown option " + std::string(flag)};
    }
    for (const auto& [name, value] : words.values) {
        if (!contains(shape.values, name))
            return UsageError{prefix + "unknown option " + std::string(name)};
    }
    const std::size_t operands = shape.operandName.empty() ? 0 : 1;
    if (words.operands.size() < operands)
        return UsageError{prefix + "missing " + std::string(shape.operandName)};
    if (words.operands.size() > operands)
        return UsageError{prefix + "unexpected argument " + std::string(words.operands[operands])};
    return std::nullopt;
}

bool hasFlag(const Words& words, std::string_view flag) {
    return contains(words.flags, flag);
}

std::optional<std::string_view> valueOf(const Words& words, std::string_view canonical) {
    const auto found = words.values.find(canonical);
    if (found == words.values.end())
        return std::nullopt;
    return found->second;
}

ParsedArguments showRequest(const Words& words) {
    if (auto error = checkWords({"show", {}, {"-o"}, "FILE.kvr"}, words))
        return *error;
    if (valueOf(words, "-o"))
        return UsageError{"show: writes to standard output only; -o does not apply"};
    return ShowRequest{words.operands.front()};
}

ParsedArguments exportRequest(const Words& words) {
    if (auto error =
            checkWords({"export", {"--json", "--csv", "--all"}, {"-o"}, "FILE.kvr"}, words))
        return *error;
    const bool csv = hasFlag(words, "--csv");
    if (csv && hasFlag(words, "--json"))
        return UsageError{"export: choose one of --json and --csv"};
    ExportRequest request{.input = words.operands.front(),
                          .format = csv ? ExportFormat::Csv : ExportFormat::Json,
                          .slots =
                              hasFlag(words, "--all") ? SlotSelection::All : SlotSelection::Used,
                          .output = std::nullopt};
    if (const auto output = valueOf(words, "-o"))
        request.output = *output;
    return request;
}

ParsedArguments importRequest(const Words& words) {
    if (auto error = checkWords({"import", {}, {"-o"}, "IN.json"}, words))
        return *error;
    const auto output = valueOf(words, "-o");
    if (!output)
        return UsageError{"import: missing -o OUT.kvr"};
    return ImportRequest{words.operands.front(), *output};
}

ParsedArguments portsRequest(const Words& words) {
    if (auto error = checkWords({"ports", {}, {}, {}}, words))
        return *error;
    return PortsRequest{};
}

bool isPin(std::string_view text) {
    return text.size() == 5 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::variant<ReceiverAddress, UsageError> receiverAddress(std::string_view command,
                                                          const Words& words) {
    const std::string prefix = std::string(command) + ": ";
    const auto port = valueOf(words, "--port");
    if (!port)
        return UsageError{prefix + "missing --port PATH"};
    ReceiverAddress address{.port = std::string(*port), .pin = std::nullopt};
    if (const auto pin = valueOf(words, "--pin")) {
        if (!isPin(*pin))
            return UsageError{prefix + "the PIN is five digits"};
        address.pin = std::string(*pin);
    }
    return address;
}

ParsedArguments infoRequest(const Words& words) {
    if (auto error = checkWords({"info", {}, {"--port", "--pin"}, {}}, words))
        return *error;
    auto address = receiverAddress("info", words);
    if (auto* error = std::get_if<UsageError>(&address))
        return *error;
    return InfoRequest{std::get<ReceiverAddress>(std::move(address))};
}

ParsedArguments readRequest(const Words& words) {
    if (auto error =
            checkWords({"read", {"--verify"}, {"--port", "--pin", "-o", "--image"}, {}}, words))
        return *error;
    auto address = receiverAddress("read", words);
    if (auto* error = std::get_if<UsageError>(&address))
        return *error;
    const auto settings = valueOf(words, "-o");
    const auto image = valueOf(words, "--image");
    if (settings && image)
        return UsageError{"read: choose one of -o FILE.kvr and --image FILE.bin"};
    if (!settings && !image)
        return UsageError{"read: missing -o FILE.kvr or --image FILE.bin"};
    return ReadRequest{.receiver = std::get<ReceiverAddress>(std::move(address)),
                       .output = settings ? *settings : *image,
                       .format = settings ? ReadFormat::Settings : ReadFormat::Image,
                       .verify = hasFlag(words, "--verify")};
}

ParsedArguments writeRequest(const Words& words) {
    if (auto error = checkWords({"write", {"--verify"}, {"--port", "--pin"}, "FILE.kvr"}, words))
        return *error;
    auto address = receiverAddress("write", words);
    if (auto* error = std::get_if<UsageError>(&address))
        return *error;
    return WriteRequest{.receiver = std::get<ReceiverAddress>(std::move(address)),
                        .input = words.operands.front(),
                        .verify = hasFlag(words, "--verify")};
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
    using Parser = ParsedArguments (*)(const Words&);
    constexpr std::array<std::pair<std::string_view, Parser>, 7> kCommands{{
        {"show", showRequest},
        {"export", exportRequest},
        {"import", importRequest},
        {"ports", portsRequest},
        {"info", infoRequest},
        {"read", readRequest},
        {"write", writeRequest},
    }};
    for (const auto& [name, parse] : kCommands) {
        if (name == command)
            return parse(words);
    }
    return UsageError{"unknown command " + std::string(command)};
}

} // namespace konfigor::kvr
