#include "sim/simulator_console.h"

#include "sheet/serial_word.h"
#include "sim/memory_image.h"

#include <algorithm>
#include <charconv>
#include <exception>
#include <optional>
#include <variant>
#include <vector>

namespace konfigor {
namespace {

constexpr std::string_view kWhitespace = " \t";
constexpr unsigned kButtons = 4;

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(kWhitespace);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kWhitespace) - first + 1);
}

std::vector<std::string_view> wordsOf(std::string_view text) {
    std::vector<std::string_view> words;
    for (text = trimmed(text); !text.empty(); text = trimmed(text)) {
        const auto end = std::min(text.find_first_of(kWhitespace), text.size());
        words.push_back(text.substr(0, end));
        text.remove_prefix(end);
    }
    return words;
}

std::optional<std::uint32_t> parseDecimal(std::string_view text, std::uint32_t maximum) {
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value > maximum)
        return std::nullopt;
    return value;
}

std::string error(std::string_view message) {
    return "error: " + std::string(message);
}

struct Press {
    std::uint32_t serialWord;
    std::uint8_t buttonMask;
};

// Without a multi mark ("(M) " as the sheet shows it, or "M"), or nothing.
std::optional<std::string_view> withoutMultiMark(std::string_view serial) {
    for (const std::string_view mark : {"(M)", "(m)", "M", "m"}) {
        if (serial.starts_with(mark))
            return serial.substr(mark.size());
    }
    return std::nullopt;
}

// "(M) 123 2", "M123 2" or "123 2".
std::variant<Press, std::string> parsePress(std::string_view arguments) {
    const auto unmarked = withoutMultiMark(arguments);
    const std::vector<std::string_view> words = wordsOf(unmarked.value_or(arguments));
    if (words.size() != 2)
        return error("usage: press SERIAL BUTTON");
    const auto number = parseDecimal(words[0], serial_word::kNumberMask);
    if (!number)
        return error("invalid serial '" + std::string(words[0]) + "' (expected 0-" +
                     std::to_string(serial_word::kNumberMask) + ", M before it for multi)");
    const auto button = parseDecimal(words[1], kButtons);
    if (!button || *button == 0)
        return error("invalid button '" + std::string(words[1]) + "' (expected 1-4)");
    return Press{serial_word::withMulti(*number, unmarked.has_value()),
                 static_cast<std::uint8_t>(1U << (*button - 1))};
}

// The stored remote with this number and multi flag, as the sheet shows it; its word may carry
// bits 28 and 29 as well.
std::optional<RemoteRecord> storedRemote(const ReceiverMemory& memory, std::uint32_t pressed) {
    using namespace serial_word;
    for (std::size_t slot = 0; slot < ReceiverMemory::kSlotCount; ++slot) {
        const RemoteRecord record = memory.record(slot);
        const std::uint32_t word = record.serialField & ~RemoteRecord::kCopyLockBit;
        if (word != 0 && serialNumber(word) == serialNumber(pressed) &&
            isMulti(word) == isMulti(pressed))
            return record;
    }
    return std::nullopt;
}

} // namespace

SimulatorConsole::SimulatorConsole(ReceiverSimulator& simulator, PtyServer& server)
    : simulator_(simulator), server_(server) {}

std::string SimulatorConsole::execute(std::string_view line) {
    line = trimmed(line);
    if (line.empty())
        return {};
    const auto end = std::min(line.find_first_of(kWhitespace), line.size());
    const std::string_view command = line.substr(0, end);
    const std::string_view arguments = trimmed(line.substr(end));
    if (command == "press")
        return press(arguments);
    if (command == "dump")
        return dump(arguments);
    if (!arguments.empty() && (command == "unplug" || command == "plug" || command == "quit"))
        return error(std::string(command) + " takes nothing after it");
    if (command == "unplug")
        return unplug();
    if (command == "plug")
        return plug();
    if (command == "quit")
        return quit();
    return error("unknown command '" + std::string(command) +
                 "' (press, unplug, plug, dump, quit)");
}

std::string SimulatorConsole::press(std::string_view arguments) {
    const auto parsed = parsePress(arguments);
    if (const auto* message = std::get_if<std::string>(&parsed))
        return *message;
    const Press press = std::get<Press>(parsed);
    std::uint32_t word = press.serialWord;
    std::uint16_t counter = 0;
    if (const auto record = storedRemote(simulator_.memory(), word)) {
        word = record->serialField & ~RemoteRecord::kCopyLockBit;
        counter = static_cast<std::uint16_t>(record->counter + 1);
    } else {
        counter = nextUnknownCounter(word);
    }
    simulator_.pressRemote(word, press.buttonMask, counter, server_.now());
    return "ok";
}

std::string SimulatorConsole::unplug() {
    if (!server_.isPlugged())
        return error("already unplugged");
    server_.unplug();
    return "ok";
}

std::string SimulatorConsole::plug() {
    if (server_.isPlugged())
        return error("already plugged in");
    try {
        server_.plug();
    } catch (const std::exception& failure) {
        return error(failure.what());
    }
    return "ok";
}

std::string SimulatorConsole::dump(std::string_view arguments) {
    if (arguments.empty())
        return error("usage: dump FILE.bin");
    if (const auto failure =
            memory_image::save(std::filesystem::path(arguments), simulator_.memory()))
        return error(*failure);
    return "ok";
}

std::string SimulatorConsole::quit() {
    server_.stop();
    return "ok";
}

std::uint16_t SimulatorConsole::nextUnknownCounter(std::uint32_t serialWord) {
    return ++unknownCounters_[serialWord];
}

} // namespace konfigor
