#pragma once

#include "kvr-sim/receiver_simulator.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace konfigor {

// What kvr-sim was asked to simulate; the defaults are a plain single receiver on a real line.
struct SimulatorOptions {
    std::optional<std::filesystem::path> link;
    ReceiverSimulator::Firmware firmware;
    std::optional<std::string> pin;
    bool pinRequired = false;
    std::optional<std::filesystem::path> sheet;
    std::optional<std::chrono::milliseconds> pressEvery;
    bool wireDelay = true;
    unsigned dropFrames = 0;
    unsigned corruptFrames = 0;
    std::chrono::milliseconds answerDelay{0};
};

struct OptionsError {
    std::string message;
};

// The arguments after the program name; a value follows its option as the next word or after
// '=' (--pin=12345). --help and --version are answered before this.
std::variant<SimulatorOptions, OptionsError>
parseSimulatorOptions(std::span<const std::string_view> args);

// Everything but the sheet, the link and the presses, which need files and a running server.
void configureSimulator(const SimulatorOptions& options, ReceiverSimulator& simulator);

} // namespace konfigor
