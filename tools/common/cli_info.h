#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace konfigor::cli {

// Answers --help and --version the same way in every command-line tool of the project.
// Returns the exit code when one of them was asked for (the caller then exits), else nothing.
std::optional<int> handleInfoOptions(std::span<char* const> args, std::string_view program,
                                     std::string_view usage);

} // namespace konfigor::cli
