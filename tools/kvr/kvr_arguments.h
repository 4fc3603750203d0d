#pragma once

#include "eventlog/events_log.h"
#include "kvr/search_requests.h"
#include "kvr/slot_selection.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace konfigor::kvr {

struct ShowRequest {
    std::filesystem::path input;
};

enum class ExportFormat { Json, Csv };

struct ExportRequest {
    std::filesystem::path input;
    ExportFormat format = ExportFormat::Json;
    SlotSelection slots = SlotSelection::Used;
    // Standard output when empty.
    std::optional<std::filesystem::path> output;
};

struct ImportRequest {
    std::filesystem::path input;
    std::filesystem::path output;
};

// Lists the programming interfaces found.
struct PortsRequest {};

// A PIN given as "-" is a line of standard input, so that it stays out of the process list and
// the shell's history.
inline constexpr std::string_view kPinFromInput = "-";

// Where a receiver is found, and the PIN the user gives for it.
struct ReceiverAddress {
    std::string port;
    // Five digits when given, or kPinFromInput until takePinsFromInput() has read it.
    std::optional<std::string> pin;
};

struct InfoRequest {
    ReceiverAddress receiver;
};

// The whole memory into a settings file, or as the raw image.
enum class ReadFormat { Settings, Image };

struct ReadRequest {
    ReceiverAddress receiver;
    std::filesystem::path output;
    ReadFormat format = ReadFormat::Settings;
    // Read twice and refuse to save unless both agree.
    bool verify = false;
};

struct WriteRequest {
    ReceiverAddress receiver;
    std::filesystem::path input;
    bool verify = false;
};

// Switches the receiver's PIN requirement on with new digits, or off keeping its digits.
struct PinRequest {
    ReceiverAddress receiver;
    // Five digits, not all zeros (or kPinFromInput as above); nothing switches the requirement
    // off.
    std::optional<std::string> newPin;
};

// Prints the newest events of an event log file.
struct EventsRequest {
    std::filesystem::path log;
    std::size_t last = EventsLog::kDefaultArchiveSize;
    bool csv = false;
};

struct UsageError {
    std::string message;
};

using ParsedArguments =
    std::variant<UsageError, ShowRequest, ExportRequest, ImportRequest, PortsRequest, InfoRequest,
                 ReadRequest, WriteRequest, PinRequest, EventsRequest, MatchRequest, FindRequest,
                 DiffRequest>;

// The command and its arguments, without the program name. Options may stand anywhere after
// the command; "--" ends them, so that a file name may begin with '-'.
ParsedArguments parseArguments(std::span<const std::string_view> args);

// One line of standard input, with the prompt shown on a terminal; nothing when there is none.
using LineReader = std::function<std::optional<std::string>(std::string_view prompt)>;

// Reads the PINs given as kPinFromInput, the receiver's before the new one, and checks them as
// the command line's are checked. The arguments become a UsageError when one is refused.
void takePinsFromInput(ParsedArguments& parsed, const LineReader& readLine);

} // namespace konfigor::kvr
