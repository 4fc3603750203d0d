#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

namespace konfigor {

// Where writing a file failed, with the system's error number.
struct FileWriteFailure {
    enum class Stage { Open, Write, Close };
    Stage stage;
    int errorNumber;
};

// Replaces `path` with `bytes` so that a reader sees either the old file or the whole new one:
// the bytes go to a temporary file beside it, are flushed to the disk and only then renamed
// over the old file. On any failure the old file is untouched and the temporary file removed.
// A new file gets the usual permissions (0666 less the umask); a replaced one keeps its own, and
// its owner where the system allows. A file or folder whose mode bits deny this user writing is
// refused at the open stage with EACCES, as a direct write would be, root included.
std::optional<FileWriteFailure> writeFileAtomically(const std::filesystem::path& path,
                                                    std::span<const std::uint8_t> bytes);

} // namespace konfigor
