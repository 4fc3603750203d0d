#include "sim/memory_image.h"

#include "common/atomic_file.h"
#include "common/system_error.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <fstream>
#include <span>

namespace konfigor::memory_image {
namespace {

using Image = std::array<std::uint8_t, ReceiverMemory::kSize>;

std::string wrongSize(const std::filesystem::path& path) {
    const std::string expected =
        "a memory image has exactly " + std::to_string(ReceiverMemory::kSize) + " bytes";
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error)
        return path.string() + ": " + expected;
    return path.string() + " holds " + std::to_string(size) + " bytes; " + expected;
}

} // namespace

std::optional<std::string> load(const std::filesystem::path& path, ReceiverMemory& memory) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return "cannot read " + path.string() + ": " + systemErrorText(errno);
    // One byte more than an image tells a longer file from an exact one.
    std::array<char, ReceiverMemory::kSize + 1> bytes{};
    file.read(bytes.data(), bytes.size());
    if (file.bad())
        return "cannot read " + path.string();
    if (static_cast<std::size_t>(file.gcount()) != ReceiverMemory::kSize)
        return wrongSize(path);
    Image image{};
    std::ranges::transform(std::span(bytes).first<ReceiverMemory::kSize>(), image.begin(),
                           [](char c) { return static_cast<std::uint8_t>(c); });
    for (std::size_t page = 0; page < ReceiverMemory::kPageCount; ++page)
        memory.setPage(page, std::span(image)
                                 .subspan(page * ReceiverMemory::kPageSize)
                                 .first<ReceiverMemory::kPageSize>());
    return std::nullopt;
}

std::optional<std::string> save(const std::filesystem::path& path, const ReceiverMemory& memory) {
    if (const auto failure = writeFileAtomically(path, memory.bytes()))
        return "cannot write " + path.string() + ": " + systemErrorText(failure->errorNumber);
    return std::nullopt;
}

} // namespace konfigor::memory_image
