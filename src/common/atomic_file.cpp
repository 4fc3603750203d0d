#include "common/atomic_file.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace konfigor {
namespace {

using Stage = FileWriteFailure::Stage;

// Leaves room for the temporary suffix within the file system's 255-byte name limit.
constexpr std::size_t kMaxTemporaryStem = 200;

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
    std::string name = target.filename().string();
    name.resize(std::min(name.size(), kMaxTemporaryStem));
    return target.parent_path() / (name + ".tmp-" + std::to_string(random()));
}

bool inGroup(gid_t group) {
    if (group == ::getegid())
        return true;
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
    const int listed = ::getgroups(static_cast<int>(groups.size()), groups.data());
    groups.resize(static_cast<std::size_t>(std::max(listed, 0)));
    return std::ranges::find(groups, group) != groups.end();
}

// The permission class that applies to this user, by the mode bits, as a direct open would
// decide. Root may write anything but what was made read-only for everyone.
bool modeAllows(const struct stat& status, mode_t ownerBits) {
    if (::geteuid() == 0)
        return (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    if (status.st_uid == ::geteuid())
        return (status.st_mode & ownerBits) == ownerBits;
    if (inGroup(status.st_gid))
        return (status.st_mode & (ownerBits >> 3)) == (ownerBits >> 3);
    return (status.st_mode & (ownerBits >> 6)) == (ownerBits >> 6);
}

// The rename would replace what a direct write could not open, so the modes are asked first:
// the target's, and the folder's, which must take the temporary file.
std::optional<FileWriteFailure> refusal(const std::filesystem::path& target,
                                        const struct stat* existing) {
    if (existing && S_ISDIR(existing->st_mode))
        return FileWriteFailure{Stage::Open, EISDIR};
    if (existing && !modeAllows(*existing, S_IWUSR))
        return FileWriteFailure{Stage::Open, EACCES};
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    struct stat folderStatus {};
    if (::stat(folder.c_str(), &folderStatus) == 0 && !modeAllows(folderStatus, S_IWUSR | S_IXUSR))
        return FileWriteFailure{Stage::Open, EACCES};
    return std::nullopt;
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

void keepOwnerAndMode(const struct stat& existing, int fd) {
    if (::fchown(fd, existing.st_uid, existing.st_gid) != 0) {
        // Only root may give a file away; anyone else's copy stays theirs, with the old mode.
    }
    ::fchmod(fd, existing.st_mode & 07777);
}

} // namespace

std::optional<FileWriteFailure> writeFileAtomically(const std::filesystem::path& path,
                                                    std::span<const std::uint8_t> bytes) {
    const std::filesystem::path target = resolvedTarget(path);
    struct stat existing {};
    const bool replacing = ::stat(target.c_str(), &existing) == 0;
    if (auto refused = refusal(target, replacing ? &existing : nullptr))
        return refused;

    const std::filesystem::path temporary = temporarySibling(target);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return failure(Stage::Open);
    if (replacing)
        keepOwnerAndMode(existing, fd);

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
