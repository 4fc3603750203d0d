#include "kvr/kvr_arguments.h"

#include "kvr/search_arguments.h"
#include "session/pin_rules.h"

#include <algorithm>
#include <array>
#include <charconv>
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

constexpr std::array<ValueOption, 7> kValueOptions{{
    {"-o", "-o", "a file name"},
    {"--output", "-o", "a file name"},
    {"--port", "--port", "a port path"},
    {"--pin", "--pin", "a PIN"},
    {"--new", "--new", "a PIN"},
    {"--image", "--image", "a file name"},
    {"--last", "--last", "a number"},
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

// A PIN typed where it does not belong is not shown back.
std::string shown(std::string_view word) {
    const bool number = !word.empty() && std::all_of(word.begin(), word.end(),
                                                     [](char c) { return c >= '0' && c <= '9'; });
    return number ? "(a number, not shown)" : std::string(word);
}

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
        return UsageError{prefix + "unexpected argument " + shown(words.operands[operands])};
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

// Why a PIN is refused; messages never repeat the PIN.
using PinCheck = std::optional<std::string> (*)(std::string_view pin);

std::optional<std::string> receiverPinProblem(std::string_view pin) {
    if (!isFullPin(pin))
        return "the PIN is five digits";
    return std::nullopt;
}

// The rules of the program's own PIN dialog, with the repetition already matched.
std::optional<std::string> newPinProblem(std::string_view pin) {
    switch (checkNewPin(true, pin, pin)) {
    case NewPinRefusal::TooShort:
        return "the new PIN is five digits";
    case NewPinRefusal::AllZeros:
        return "the new PIN cannot be all zeros";
    case NewPinRefusal::Differs:
    case NewPinRefusal::None:
        break;
    }
    return std::nullopt;
}

// A PIN from the command line, checked unless it is still to be read.
std::optional<UsageError> checkPinWord(std::string_view command, std::string_view pin,
                                       PinCheck check) {
    if (pin == kPinFromInput)
        return std::nullopt;
    if (auto problem = check(pin))
        return UsageError{std::string(command) + ": " + *problem};
    return std::nullopt;
}

std::variant<ReceiverAddress, UsageError> receiverAddress(std::string_view command,
                                                          const Words& words) {
    const std::string prefix = std::string(command) + ": ";
    const auto port = valueOf(words, "--port");
    if (!port)
        return UsageError{prefix + "missing --port PATH"};
    ReceiverAddress address{.port = std::string(*port), .pin = std::nullopt};
    if (const auto pin = valueOf(words, "--pin")) {
        if (auto error = checkPinWord(command, *pin, receiverPinProblem))
            return *error;
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

ParsedArguments pinRequest(const Words& words) {
    if (auto error = checkWords({"pin", {"--off"}, {"--port", "--pin", "--new"}, {}}, words))
        return *error;
    auto address = receiverAddress("pin", words);
    if (auto* error = std::get_if<UsageError>(&address))
        return *error;
    const auto newPin = valueOf(words, "--new");
    const bool off = hasFlag(words, "--off");
    if (newPin && off)
        return UsageError{"pin: choose one of --new NNNNN and --off"};
    if (!newPin && !off)
        return UsageError{"pin: missing --new NNNNN or --off"};
    if (newPin) {
        if (auto error = checkPinWord("pin", *newPin, newPinProblem))
            return *error;
    }
    return PinRequest{.receiver = std::get<ReceiverAddress>(std::move(address)),
                      .newPin = newPin ? std::optional<std::string>(*newPin) : std::nullopt};
}

ParsedArguments eventsRequest(const Words& words) {
    if (auto error = checkWords({"events", {"--csv"}, {"--last"}, "LOG"}, words))
        return *error;
    EventsRequest request{.log = words.operands.front(), .csv = hasFlag(words, "--csv")};
    if (const auto last = valueOf(words, "--last")) {
        std::size_t count = 0;
        const auto [end, error] = std::from_chars(last->data(), last->data() + last->size(), count);
        if (error != std::errc() || end != last->data() + last->size() || count == 0)
            return UsageError{"events: --last needs a whole number above 0"};
        request.last = count;
    }
    return request;
}

std::string_view commandOf(const InfoRequest&) {
    return "info";
}
std::string_view commandOf(const ReadRequest&) {
    return "read";
}
std::string_view commandOf(const WriteRequest&) {
    return "write";
}
std::string_view commandOf(const PinRequest&) {
    return "pin";
}

// `value` read from the input when it was given as kPinFromInput; why it is refused otherwise.
std::optional<std::string> takeFromInput(std::optional<std::string>& value, std::string_view prompt,
                                         PinCheck check, const LineReader& readLine) {
    if (value != kPinFromInput)
        return std::nullopt;
    auto line = readLine(prompt);
    if (!line)
        return "no PIN on standard input";
    if (auto problem = check(*line))
        return problem;
    value = std::move(*line);
    return std::nullopt;
}

} // namespace

void takePinsFromInput(ParsedArguments& parsed, const LineReader& readLine) {
    const auto refusal = std::visit(
        [&](auto& request) -> std::optional<UsageError> {
            if constexpr (requires { request.receiver.pin; }) {
                const std::string prefix = std::string(commandOf(request)) + ": ";
                if (auto problem =
                        takeFromInput(request.receiver.pin, "PIN: ", receiverPinProblem, readLine))
                    return UsageError{prefix + *problem};
                if constexpr (requires { request.newPin; }) {
                    if (auto problem =
                            takeFromInput(request.newPin, "New PIN: ", newPinProblem, readLine))
                        return UsageError{prefix + *problem};
                }
            }
            return std::nullopt;
        },
        parsed);
    if (refusal)
        parsed = *refusal;
}

ParsedArguments parseArguments(std::span<const std::string_view> args) {
    if (args.empty())
        return UsageError{"no command given"};
    const std::string_view command = args.front();
    if (auto search = parseSearchCommand(command, args.subspan(1)))
        return *std::move(search);
    const auto sorted = sortWords(args.subspan(1));
    if (const auto* error = std::get_if<UsageError>(&sorted))
        return *error;
    const Words& words = std::get<Words>(sorted);
    using Parser = ParsedArguments (*)(const Words&);
    constexpr std::array<std::pair<std::string_view, Parser>, 9> kCommands{{
        {"show", showRequest},
        {"export", exportRequest},
        {"import", importRequest},
        {"ports", portsRequest},
        {"info", infoRequest},
        {"read", readRequest},
        {"write", writeRequest},
        {"pin", pinRequest},
        {"events", eventsRequest},
    }};
    for (const auto& [name, parse] : kCommands) {
        if (name == command)
            return parse(words);
    }
    return UsageError{"unknown command " + std::string(command)};
}

} // namespace konfigor::kvr
