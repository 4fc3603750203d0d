#include "common/atomic_file.h"

#include <cerrno>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace konfigor {
namespace {

using Stage = FileWriteFailure::Stage;

FileWriteFailure failure(Stage stage) {
    return {stage, errno};
}

// A symbolic link is replaced by writing through it, not by turning it into a plain file.
std::filesystem::path resolvedTarget(const std::filesystem::path& path) {
    std::error_code error;
    if (std::filesystem::is_symlink(path, error)) {
        const std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
        if (!error)
            return resolved;
    }
    return path;
}

std::filesystem::path temporarySibling(const std::filesystem::path& target) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    std::filesystem::path temporary = target;
    temporary += ".tmp-" + std::to_string(random());
    return temporary;
}

std::optional<FileWriteFailure> writeAll(int fd, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return failure(Stage::Write);
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    if (::fsync(fd) != 0)
        return failure(Stage::Write);
    return std::nullopt;
}

void keepModeOf(const std::filesystem::path& target, int fd) {
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0)
        ::fchmod(fd, existing.st_mode & 07777);
}

} // namespace

std::optional<FileWriteFailure> writeFileAtomically(const std::filesystem::path& path,
                                                    std::span<const std::uint8_t> bytes) {
    const std::filesystem::path target = resolvedTarget(path);
    const std::filesystem::path temporary = temporarySibling(target);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return failure(Stage::Open);
    keepModeOf(target, fd);

    std::optional<FileWriteFailure> result = writeAll(fd, bytes);
    if (::close(fd) != 0 && !result)
        result = failure(Stage::Close);
    if (!result && ::rename(temporary.c_str(), target.c_str()) != 0)
        result = failure(Stage::Close);
    if (result)
        ::unlink(temporary.c_str());
    return result;
}

} // namespace konfigor
