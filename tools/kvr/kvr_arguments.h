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

struct UsageError {
    std::string message;
};

using ParsedArguments = std::variant<UsageError, ShowRequest, ExportRequest, ImportRequest>;

// The command and its arguments, without the program name. Options may stand anywhere after
// the command; "--" ends them, so that a file name may begin with '-'.
ParsedArguments parseArguments(std::span<const std::string_view> args);

} // namespace konfigor::kvr
