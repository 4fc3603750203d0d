#pragma once

#include "link/receiver_memory.h"

#include <filesystem>
#include <optional>
#include <string>

// The receiver's whole memory as a file: its 7072 bytes, page 0 first, nothing else.
namespace konfigor::memory_image {

// Replaces the memory with the file's bytes. Returns why not, leaving the memory as it was,
// when the file cannot be read or has any other size.
std::optional<std::string> load(const std::filesystem::path& path, ReceiverMemory& memory);

// Written atomically: a reader sees the old file or the whole new one. Returns why not.
std::optional<std::string> save(const std::filesystem::path& path, const ReceiverMemory& memory);

} // namespace konfigor::memory_image
