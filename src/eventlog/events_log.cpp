#include "eventlog/events_log.h"

#include "common/atomic_file.h"

#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

// Several copies of the program may append to one log while one of them trims it.
//
// - An append is a single write() of whole lines to a descriptor opened with O_APPEND, so
//   appends never tear or overwrite each other.
// - A trim must not lose a line appended between its reading the file and its rename of the new
//   file over it. It holds an exclusive flock() on the log from before reading until after the
//   rename, and every append holds the same lock (exclusive too: appends are rare, and it lets
//   an append look at the file's end, to write the header into an empty file and to end a cut
//   last line, without a race).
// - An append that opened the old file and waited for the lock while a trim ran would write into
//   the file the rename has just unlinked. So whoever takes the lock then checks that its
//   descriptor is still the file at the path (same device and inode), and opens the path again
//   when it is not. The new file is complete before it gets its name, so appending to it at
//   once, under its own lock, is right.
// - Loading takes the lock shared, so it never sees half of a line being written.
// flock() needs no lock file, and the lock dies with the descriptor, so a crashed copy never
// leaves the log locked. Where the file system refuses flock() we go on without it.
namespace konfigor {
namespace {

class LockedFile {
public:
    LockedFile() = default;
    explicit LockedFile(int fd) : fd_(fd) {}
    LockedFile(LockedFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    LockedFile& operator=(LockedFile&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;
    // Closing releases the lock.
    ~LockedFile() {
        if (fd_ >= 0)
            ::close(fd_);
    }

    int fd() const { return fd_; }

private:
    int fd_ = -1;
};

struct Opened {
    LockedFile file;
    int errorNumber = 0;
};

bool lock(int fd, int operation) {
    while (::flock(fd, operation) != 0) {
        if (errno != EINTR)
            return false;
    }
    return true;
}

bool isStillAt(int fd, const std::filesystem::path& path) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::stat(path.c_str(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

// The file at `path`, opened with `flags` and locked, and still the file at `path` once locked.
Opened openLocked(const std::filesystem::path& path, int flags, int lockOperation) {
    // Each turn of the loop means that another trim has replaced the file meanwhile; giving up
    // after some would lose the line, so only an error ends it.
    for (;;) {
        LockedFile file(::open(path.c_str(), flags | O_CLOEXEC, 0666));
        if (file.fd() < 0)
            return {{}, errno};
        if (!lock(file.fd(), lockOperation))
            return {std::move(file), 0}; // no locking on this file system
        if (isStillAt(file.fd(), path))
            return {std::move(file), 0};
    }
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

TailScan scanOpenFile(int fd, std::size_t n) {
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return {.events = {}, .limitReached = false, .errorNumber = errno};
    const auto readAt = [fd](std::uint64_t offset, std::span<char> into) {
        while (!into.empty()) {
            const ssize_t got = ::pread(fd, into.data(), into.size(), static_cast<off_t>(offset));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0) {
                if (got == 0)
                    errno = EIO; // shorter than fstat said
                return false;
            }
            into = into.subspan(static_cast<std::size_t>(got));
            offset += static_cast<std::uint64_t>(got);
        }
        return true;
    };
    return scanNewestEvents(static_cast<std::uint64_t>(status.st_size), readAt, n);
}

// What goes before the line: the header into an empty file, a line end after a cut last line.
std::string lead(int fd, std::string_view header) {
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return {};
    if (status.st_size == 0)
        return std::string(header);
    char last = '\n';
    if (::pread(fd, &last, 1, status.st_size - 1) == 1 && last != '\n')
        return "\r\n";
    return {};
}

} // namespace

int appendEventLine(const std::filesystem::path& path, std::string_view line,
                    std::string_view header) {
    const Opened opened = openLocked(path, O_RDWR | O_APPEND | O_CREAT, LOCK_EX);
    if (opened.file.fd() < 0)
        return opened.errorNumber;
    // One write() for the whole text, so no other writer's line lands inside it.
    const std::string text = lead(opened.file.fd(), header).append(line);
    return writeAll(opened.file.fd(), text) ? 0 : errno;
}

TailScan readNewestEvents(const std::filesystem::path& path, std::size_t n) {
    const Opened opened = openLocked(path, O_RDONLY, LOCK_SH);
    if (opened.file.fd() < 0)
        return {.events = {}, .limitReached = false, .errorNumber = opened.errorNumber};
    return scanOpenFile(opened.file.fd(), n);
}

EventsLog::EventsLog(const TextTable& texts, Clock clock)
    : texts_(texts), clock_(std::move(clock)), header_(eventLogHeader(texts)) {}

bool EventsLog::open(const std::filesystem::path& path, std::string header) {
    path_ = path;
    header_ = std::move(header);
    const int existing = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (existing >= 0) {
        ::close(existing);
        return true;
    }
    const Opened created = openLocked(path, O_RDWR | O_APPEND | O_CREAT, LOCK_EX);
    if (created.file.fd() < 0)
        return false;
    struct stat status {};
    if (::fstat(created.file.fd(), &status) == 0 && status.st_size == 0)
        (void)writeAll(created.file.fd(), header_);
    return true;
}

bool EventsLog::add(bool write, const EventRecord& record) {
    try {
        events_.push_back(record);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (write && !path_.empty())
        (void)appendEventLine(path_, formatEventLine(record, texts_), header_);
    return true;
}

bool EventsLog::addNow(bool write, std::int32_t position, std::string_view descriptionCp1250,
                       std::uint8_t button, std::uint8_t channelMask, std::uint32_t serialNumber) {
    EventRecord record;
    record.time = clock_();
    record.position = position;
    record.description.assign(descriptionCp1250);
    record.button = button;
    record.channelMask = channelMask;
    record.serialNumber = serialNumber;
    return add(write, record);
}

void EventsLog::clear() {
    events_.clear();
    events_.shrink_to_fit();
}

std::size_t EventsLog::loadLast(const std::filesystem::path& path, std::size_t n) {
    const Opened opened = openLocked(path, O_RDWR | O_APPEND | O_CREAT, LOCK_SH);
    if (opened.file.fd() < 0)
        return 0;
    path_ = path;
    events_ = scanOpenFile(opened.file.fd(), n).events;
    return events_.size();
}

bool EventsLog::loadLastAndTrim(const std::filesystem::path& path, std::size_t n) {
    // Held until the new file has replaced the old one.
    const Opened opened = openLocked(path, O_RDWR | O_APPEND | O_CREAT, LOCK_EX);
    if (opened.file.fd() < 0)
        return false;
    path_ = path;
    TailScan scan = scanOpenFile(opened.file.fd(), n);
    events_ = std::move(scan.events);
    if (!scan.limitReached || events_.empty() || scan.errorNumber != 0)
        return false;
    std::string text = header_;
    for (const EventRecord& record : events_)
        text += formatEventLine(record, texts_);
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    return !writeFileAtomically(path, bytes);
}

} // namespace konfigor
