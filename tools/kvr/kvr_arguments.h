#pragma once

#include "kvr/slot_selection.h"

#include <filesystem>
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

// Where a receiver is found, and the PIN the user gives for it.
struct ReceiverAddress {
    std::string port;
    // Five digits when given.
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

struct UsageError {
    std::string message;
};

using ParsedArguments = std::variant<UsageError, ShowRequest, ExportRequest, ImportRequest,
                                     PortsRequest, InfoRequest, ReadRequest, WriteRequest>;

// The command and its arguments, without the program name. Options may stand anywhere after
// the command; "--" ends them, so that a file name may begin with '-'.
ParsedArguments parseArguments(std::span<const std::string_view> args);

} // namespace konfigor::kvr
