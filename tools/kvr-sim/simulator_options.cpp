#include "kvr-sim/simulator_options.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <utility>

namespace konfigor {
namespace {

using Error = std::optional<std::string>;

constexpr std::array<std::string_view, 3> kFlags{"--multi", "--pin-required", "--no-wire-delay"};

// The version nibbles of the report byte.
constexpr unsigned kMaxVersionPart = 15;

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

bool isFlag(std::string_view name) {
    return std::find(kFlags.begin(), kFlags.end(), name) != kFlags.end();
}

std::optional<unsigned> parseUnsigned(std::string_view text) {
    unsigned value = 0;
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
    const auto part = parseUnsigned(text);
    if (!part || *part > kMaxVersionPart)
        return std::nullopt;
    return static_cast<std::uint8_t>(*part);
}

Error parseFirmware(std::string_view value, ReceiverSimulator::Firmware& firmware) {
    const auto dot = value.find('.');
    if (dot == std::string_view::npos)
        return invalid("--firmware", value, "X.Y, each 0-15");
    const auto major = versionPart(value.substr(0, dot));
    const auto minor = versionPart(value.substr(dot + 1));
    if (!major || !minor)
        return invalid("--firmware", value, "X.Y, each 0-15");
    firmware.major = *major;
    firmware.minor = *minor;
    return std::nullopt;
}

Error parsePin(std::string_view value, std::optional<std::string>& pin) {
    const bool digitsOnly =
        std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (value.size() != ReceiverMemory::kPinLength || !digitsOnly)
        return invalid("--pin", value, "five digits");
    pin = std::string(value);
    return std::nullopt;
}

Error parseCount(std::string_view name, std::string_view value, unsigned& count) {
    const auto parsed = parseUnsigned(value);
    if (!parsed)
        return invalid(name, value, "a whole number");
    count = *parsed;
    return std::nullopt;
}

Error parseMilliseconds(std::string_view name, std::string_view value, unsigned minimum,
                        std::chrono::milliseconds& duration) {
    const auto parsed = parseUnsigned(value);
    if (!parsed || *parsed < minimum)
        return invalid(name, value, minimum > 0 ? "milliseconds, at least 1" : "milliseconds");
    duration = std::chrono::milliseconds(*parsed);
    return std::nullopt;
}

Error setFlag(std::string_view name, SimulatorOptions& options) {
    if (name == "--multi")
        options.firmware.multi = true;
    else if (name == "--pin-required")
        options.pinRequired = true;
    else
        options.wireDelay = false;
    return std::nullopt;
}

Error setValue(std::string_view name, std::string_view value, SimulatorOptions& options) {
    if ((name == "--link" || name == "--sheet") && value.empty())
        return "option " + std::string(name) + " needs a path";
    if (name == "--link")
        options.link = std::filesystem::path(value);
    else if (name == "--sheet")
        options.sheet = std::filesystem::path(value);
    else if (name == "--firmware")
        return parseFirmware(value, options.firmware);
    else if (name == "--pin")
        return parsePin(value, options.pin);
    else if (name == "--drop")
        return parseCount(name, value, options.dropFrames);
    else if (name == "--corrupt")
        return parseCount(name, value, options.corruptFrames);
    else if (name == "--delay")
        return parseMilliseconds(name, value, 0, options.answerDelay);
    else
        return parseMilliseconds(name, value, 1, options.pressEvery.emplace());
    return std::nullopt;
}

bool takesValue(std::string_view name) {
    constexpr std::array<std::string_view, 8> kValued{"--link",    "--firmware",    "--pin",
                                                      "--sheet",   "--press-every", "--drop",
                                                      "--corrupt", "--delay"};
    return std::find(kValued.begin(), kValued.end(), name) != kValued.end();
}

// Takes args[i] into the options, and the next word too when it is the option's value.
Error takeWord(std::span<const std::string_view> args, std::size_t& i, SimulatorOptions& options) {
    const Word word = splitAtEquals(args[i]);
    if (isFlag(word.name))
        return word.value ? "option " + std::string(word.name) + " takes no value"
                          : setFlag(word.name, options);
    if (!takesValue(word.name))
        return word.name.starts_with('-') ? "unknown option " + std::string(word.name)
                                          : "unexpected argument " + std::string(args[i]);
    if (word.value)
        return setValue(word.name, *word.value, options);
    if (i + 1 == args.size())
        return "option " + std::string(word.name) + " needs a value";
    return setValue(word.name, args[++i], options);
}

} // namespace

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
    if (!options.wireDelay)
        simulator.setBaudRate(0);
    simulator.dropFrames(options.dropFrames);
    simulator.corruptFrames(options.corruptFrames);
    simulator.setAnswerDelay(options.answerDelay);
}

} // namespace konfigor
