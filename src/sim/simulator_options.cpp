#include "sim/simulator_options.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <utility>

namespace konfigor {
namespace {

using Error = std::optional<std::string>;
using ReplyDelays = decltype(SimulatorOptions::replyDelays);

constexpr std::array<std::string_view, 3> kFlags{"--multi", "--pin-required", "--wire-timing"};
constexpr std::array<std::string_view, 13> kValued{
    "--link",        "--firmware", "--version", "--pin",       "--memory", "--image",      "--seed",
    "--press-every", "--drop",     "--corrupt", "--duplicate", "--delay",  "--reply-delay"};

// The requests the interface answers; 'A' and 'K' get nothing that could be late.
constexpr std::string_view kAnsweredLetters = "VESLCDPR";

// The version nibbles of the report byte.
constexpr unsigned kMaxVersionPart = 15;
constexpr std::string_view kVersionForm = "X.Y, each 0-15";

struct Word {
    std::string_view name;
    std::optional<std::string_view> value;
};

Word splitAtEquals(std::string_view word) {
    const auto equals = word.find('=');
    if (equals == std::string_view::npos)
        return {word, std::nullopt};
    return {word.substr(0, equals), word.substr(equals + 1)};
}

bool isOneOf(std::string_view name, std::span<const std::string_view> names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool isDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

template <typename Number>
std::optional<Number> parseNumber(std::string_view text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::string invalid(std::string_view name, std::string_view value, std::string_view expected) {
    return "invalid value '" + std::string(value) + "' for " + std::string(name) + " (expected " +
           std::string(expected) + ")";
}

// One nibble of the version byte.
std::optional<std::uint8_t> versionPart(std::string_view text) {
    const auto part = parseNumber<unsigned>(text);
    if (!part || *part > kMaxVersionPart)
        return std::nullopt;
    return static_cast<std::uint8_t>(*part);
}

Error parseFirmware(std::string_view name, std::string_view value,
                    ReceiverSimulator::Firmware& firmware) {
    const auto dot = value.find('.');
    const auto major = versionPart(value.substr(0, dot));
    const auto minor =
        dot == std::string_view::npos ? std::nullopt : versionPart(value.substr(dot + 1));
    if (!major || !minor)
        return invalid(name, value, kVersionForm);
    firmware.major = *major;
    firmware.minor = *minor;
    return std::nullopt;
}

Error parsePin(std::string_view value, std::optional<std::string>& pin) {
    if (value.size() != ReceiverMemory::kPinLength || !isDigits(value))
        return invalid("--pin", value, "five digits");
    pin = std::string(value);
    return std::nullopt;
}

Error parseProbability(std::string_view name, std::string_view value, double& probability) {
    const auto parsed = parseNumber<double>(value);
    // Written so that NaN fails too.
    if (!parsed || !(*parsed >= 0.0 && *parsed <= 1.0))
        return invalid(name, value, "a probability from 0 to 1");
    probability = *parsed;
    return std::nullopt;
}

Error parseSeed(std::string_view value, std::uint64_t& seed) {
    const auto parsed = parseNumber<std::uint64_t>(value);
    if (!parsed)
        return invalid("--seed", value, "a whole number");
    seed = *parsed;
    return std::nullopt;
}

Error parseMilliseconds(std::string_view name, std::string_view value, unsigned minimum,
                        std::chrono::milliseconds& duration) {
    const auto parsed = parseNumber<unsigned>(value);
    if (!parsed || *parsed < minimum)
        return invalid(name, value, minimum > 0 ? "milliseconds, at least 1" : "milliseconds");
    duration = std::chrono::milliseconds(*parsed);
    return std::nullopt;
}

// One LETTER=MS item of --reply-delay.
Error parseReplyDelay(std::string_view item, ReplyDelays& delays) {
    const auto equals = item.find('=');
    if (equals == 0 || equals == std::string_view::npos)
        return "invalid item '" + std::string(item) + "' in --reply-delay (expected LETTER=MS)";
    const std::string_view letter = item.substr(0, equals);
    if (letter.size() != 1 || kAnsweredLetters.find(letter[0]) == std::string_view::npos)
        return "unknown request letter '" + std::string(letter) +
               "' in --reply-delay (expected one of V, E, S, L, C, D, P, R)";
    const std::string_view value = item.substr(equals + 1);
    const auto delay = parseNumber<unsigned>(value);
    if (!delay)
        return "invalid delay '" + std::string(value) + "' for " + std::string(letter) +
               " in --reply-delay (expected milliseconds)";
    const auto key = static_cast<std::uint8_t>(letter[0]);
    // Two delays for one letter are a slip, not a choice.
    if (!delays.emplace(key, std::chrono::milliseconds(*delay)).second)
        return "request letter " + std::string(letter) + " given twice in --reply-delay";
    return std::nullopt;
}

Error parseReplyDelays(std::string_view list, ReplyDelays& delays) {
    if (list.empty())
        return std::string("option --reply-delay needs LETTER=MS items");
    for (;;) {
        const auto comma = list.find(',');
        if (auto error = parseReplyDelay(list.substr(0, comma), delays))
            return error;
        if (comma == std::string_view::npos)
            return std::nullopt;
        list.remove_prefix(comma + 1);
    }
}

Error setFlag(std::string_view name, SimulatorOptions& options) {
    if (name == "--multi")
        options.firmware.multi = true;
    else if (name == "--pin-required")
        options.pinRequired = true;
    else
        options.wireTiming = true;
    return std::nullopt;
}

Error setPath(std::string_view name, std::string_view value, SimulatorOptions& options) {
    if (value.empty())
        return "option " + std::string(name) + " needs a path";
    const std::filesystem::path path(value);
    if (name == "--link")
        options.link = path;
    else if (name == "--image")
        options.image = path;
    else
        options.memoryFile = path;
    if (options.memoryFile && options.image)
        return std::string("options --memory and --image exclude each other");
    return std::nullopt;
}

Error setValue(std::string_view name, std::string_view value, SimulatorOptions& options) {
    if (name == "--link" || name == "--memory" || name == "--image")
        return setPath(name, value, options);
    if (name == "--firmware" || name == "--version")
        return parseFirmware(name, value, options.firmware);
    if (name == "--pin")
        return parsePin(value, options.pin);
    if (name == "--seed")
        return parseSeed(value, options.seed);
    if (name == "--drop")
        return parseProbability(name, value, options.dropProbability);
    if (name == "--corrupt")
        return parseProbability(name, value, options.corruptProbability);
    if (name == "--duplicate")
        return parseProbability(name, value, options.duplicateProbability);
    if (name == "--delay")
        return parseMilliseconds(name, value, 0, options.answerDelay);
    if (name == "--reply-delay")
        return parseReplyDelays(value, options.replyDelays);
    return parseMilliseconds(name, value, 1, options.pressEvery.emplace());
}

// Takes args[i] into the options, and the next word too when it is the option's value.
Error takeWord(std::span<const std::string_view> args, std::size_t& i, SimulatorOptions& options) {
    const Word word = splitAtEquals(args[i]);
    if (isOneOf(word.name, kFlags))
        return word.value ? "option " + std::string(word.name) + " takes no value"
                          : setFlag(word.name, options);
    if (!isOneOf(word.name, kValued))
        return word.name.starts_with('-') ? "unknown option " + std::string(word.name)
                                          : "unexpected argument " + std::string(args[i]);
    if (word.value)
        return setValue(word.name, *word.value, options);
    if (i + 1 == args.size())
        return "option " + std::string(word.name) + " needs a value";
    return setValue(word.name, args[++i], options);
}

} // namespace

bool isFirmwareVersion(std::span<const std::string_view> args, std::size_t i) {
    if (args[i].starts_with("--version="))
        return true;
    if (args[i] != "--version" || i + 1 == args.size())
        return false;
    const std::string_view next = args[i + 1];
    const auto dot = next.find('.');
    return dot != std::string_view::npos && isDigits(next.substr(0, dot)) &&
           isDigits(next.substr(dot + 1));
}

std::variant<SimulatorOptions, OptionsError>
parseSimulatorOptions(std::span<const std::string_view> args) {
    SimulatorOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (auto error = takeWord(args, i, options))
            return OptionsError{std::move(*error)};
    }
    return options;
}

void configureSimulator(const SimulatorOptions& options, ReceiverSimulator& simulator) {
    simulator.setFirmware(options.firmware);
    if (options.pin)
        simulator.memory().setPin(*options.pin);
    simulator.memory().setPinRequired(options.pinRequired);
    simulator.setBaudRate(options.wireTiming ? ReceiverSimulator::kBaudRate : 0);
    simulator.setSeed(options.seed);
    simulator.setDropProbability(options.dropProbability);
    simulator.setCorruptProbability(options.corruptProbability);
    simulator.setDuplicateProbability(options.duplicateProbability);
    simulator.setAnswerDelay(options.answerDelay);
    for (const auto& [letter, delay] : options.replyDelays)
        simulator.setReplyDelay(letter, delay);
}

} // namespace konfigor
