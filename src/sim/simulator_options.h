#pragma once

#include "sim/receiver_simulator.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace konfigor {

// What kvr-sim was asked to simulate; the defaults are a plain single receiver answering at
// once, without faults.
struct SimulatorOptions {
    std::optional<std::filesystem::path> link;
    ReceiverSimulator::Firmware firmware;
    std::optional<std::string> pin;
    bool pinRequired = false;
    // A settings file, or else a raw memory image, to start with.
    std::optional<std::filesystem::path> memoryFile;
    std::optional<std::filesystem::path> image;
    std::optional<std::chrono::milliseconds> pressEvery;
    bool wireTiming = false;
    double dropProbability = 0;
    double corruptProbability = 0;
    double duplicateProbability = 0;
    std::uint64_t seed = ReceiverSimulator::kDefaultSeed;
    std::chrono::milliseconds answerDelay{0};
    // By request letter, in place of answerDelay.
    std::map<std::uint8_t, std::chrono::milliseconds> replyDelays;
};

struct OptionsError {
    std::string message;
};

// The arguments after the program name; a value follows its option as the next word or after
// '=' (--pin=12345). --help and --version are answered before this, except that --version
// followed by a version of the X.Y form sets the firmware (see isFirmwareVersion()).
std::variant<SimulatorOptions, OptionsError>
parseSimulatorOptions(std::span<const std::string_view> args);

// Whether args[i] is "--version" naming the firmware: followed by a word of the X.Y form
// (digits, a dot, digits), or written as "--version=VALUE".
bool isFirmwareVersion(std::span<const std::string_view> args, std::size_t i);

// Everything but the memory, the link and the presses, which need files and a running server.
void configureSimulator(const SimulatorOptions& options, ReceiverSimulator& simulator);

} // namespace konfigor
