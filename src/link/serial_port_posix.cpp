#include "link/serial_port_posix.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace konfigor {
namespace {

SerialError openFailure(int errorNumber) {
    switch (errorNumber) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return {SerialFault::NotFound, errorNumber};
    case EBUSY:
    case EWOULDBLOCK:
        return {SerialFault::Busy, errorNumber};
    case EACCES:
    case EPERM:
        return {SerialFault::AccessDenied, errorNumber};
    default:
        return {SerialFault::Other, errorNumber};
    }
}

// What an unplugged device or a closed pseudo-terminal master gives to reads and writes.
SerialError transferFailure(int errorNumber) {
    switch (errorNumber) {
    case EIO:
    case ENXIO:
    case ENODEV:
        return {SerialFault::Gone, errorNumber};
    default:
        return {SerialFault::Other, errorNumber};
    }
}

// A hung-up line reads as end-of-file with no error number of its own; EIO is what writing to
// it gives, so messages say the same either way.
SerialError hungUp() {
    return {SerialFault::Gone, EIO};
}

SerialError notOpen() {
    return {SerialFault::Other, EBADF};
}

// A pseudo-terminal has no modem lines or driver queue and refuses those ioctls this way; the
// same code then runs on one unchanged.
bool refusedByPseudoTerminal(int errorNumber) {
    return errorNumber == ENOTTY || errorNumber == EINVAL;
}

std::optional<SerialError> changeModemLine(int fd, unsigned long request, int line) {
    if (::ioctl(fd, request, &line) == 0 || refusedByPseudoTerminal(errno))
        return std::nullopt;
    return SerialError{SerialFault::Other, errno};
}

// Linux raises DTR on every open; the interface wants DTR off and RTS on.
std::optional<SerialError> holdModemLines(int fd) {
    if (auto error = changeModemLine(fd, TIOCMBIC, TIOCM_DTR))
        return error;
    return changeModemLine(fd, TIOCMBIS, TIOCM_RTS);
}

// TIOCEXCL alone does not stop root, and flock alone does not stop programs that never lock.
bool isCharacterDevice(int fd) {
    struct stat status {};
    return ::fstat(fd, &status) == 0 && S_ISCHR(status.st_mode);
}

std::optional<SerialError> claimExclusively(int fd) {
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return openFailure(errno);
    // A device that does not know the exclusive mode (an emulated one, for instance) is still
    // a port: the lock keeps our programs apart. A plain file is not a port at all.
    if (::ioctl(fd, TIOCEXCL) != 0 && !(errno == ENOTTY && isCharacterDevice(fd)))
        return SerialError{SerialFault::Other, errno};
    return std::nullopt;
}

void releaseExclusive(int fd) {
    // A pseudo-terminal's slave outlives its closing while the master is open; without this
    // the flag would keep refusing the next opener.
    ::ioctl(fd, TIOCNXCL);
}

template <typename Flags>
void clearFlags(Flags& flags, unsigned clear) {
    flags = static_cast<Flags>(flags & ~static_cast<Flags>(clear));
}

void makeLineSettings(termios& settings) {
    ::cfmakeraw(&settings);
    ::cfsetispeed(&settings, B9600);
    ::cfsetospeed(&settings, B9600);
    clearFlags(settings.c_cflag, CSIZE | PARENB | CSTOPB | CRTSCTS);
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    clearFlags(settings.c_iflag, IXON | IXOFF | IXANY);
    // With VMIN 0 an empty read returns 0 like a hang-up; with 1 the non-blocking descriptor
    // says EAGAIN instead, so 0 means the line is gone.
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
}

// The kernel would hold a closing descriptor until the device took its output or the port's
// closing wait ran out (30 s by default); a working line sends a frame well within this.
constexpr std::chrono::milliseconds kDrainLimit{100};
constexpr std::chrono::milliseconds kDrainStep{5};

// Lets a working line send what is queued, then gives up the rest so closing never waits.
// A hung-up line refuses both calls, which is fine: nothing is left to send on it.
void settleOutput(int fd) {
    const auto deadline = std::chrono::steady_clock::now() + kDrainLimit;
    int waiting = 0;
    while (::ioctl(fd, TIOCOUTQ, &waiting) == 0 && waiting > 0 &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(kDrainStep);
    ::tcflush(fd, TCOFLUSH);
}

int pollMilliseconds(std::chrono::steady_clock::time_point deadline) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(left.count(), 0, INT_MAX));
}

} // namespace

PosixSerialPort::PosixSerialPort() : wakeFd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

PosixSerialPort::~PosixSerialPort() {
    close();
    if (wakeFd_ != kClosed)
        ::close(wakeFd_);
}

void PosixSerialPort::interruptWait() {
    const std::uint64_t one = 1;
    if (wakeFd_ != kClosed) [[maybe_unused]]
        const auto ignored = ::write(wakeFd_, &one, sizeof one);
}

std::optional<SerialError> PosixSerialPort::open(const std::string& path) {
    close();
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return openFailure(errno);
    auto error = claimExclusively(fd);
    if (!error)
        error = holdModemLines(fd);
    if (error) {
        ::close(fd);
        return error;
    }
    fd_ = fd;
    return std::nullopt;
}

std::optional<SerialError> PosixSerialPort::configure() {
    const int fd = fd_;
    if (fd == kClosed)
        return notOpen();
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0)
        return transferFailure(errno);
    makeLineSettings(settings);
    if (::tcsetattr(fd, TCSANOW, &settings) != 0)
        return transferFailure(errno);
    return holdModemLines(fd);
}

std::optional<SerialError> PosixSerialPort::discardInput() {
    const int fd = fd_;
    if (fd == kClosed)
        return notOpen();
    // Not TCIOFLUSH: on a pseudo-terminal that drops the unread wake byte, and on a USB port it
    // can cancel the write still carrying it.
    if (::tcflush(fd, TCIFLUSH) != 0)
        return transferFailure(errno);
    return std::nullopt;
}

SerialResult<std::size_t> PosixSerialPort::read(std::span<std::uint8_t> buffer) {
    const int fd = fd_;
    if (fd == kClosed)
        return {.error = notOpen()};
    if (buffer.empty())
        return {};
    for (;;) {
        const ssize_t count = ::read(fd, buffer.data(), buffer.size());
        if (count > 0)
            return {.value = static_cast<std::size_t>(count)};
        if (count == 0)
            return {.error = hungUp()};
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return {};
        if (errno != EINTR)
            return {.error = transferFailure(errno)};
    }
}

SerialResult<bool> PosixSerialPort::waitForInput(std::chrono::milliseconds timeout) {
    const int fd = fd_;
    if (fd == kClosed)
        return {.error = notOpen()};
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        std::array<pollfd, 2> watched{pollfd{.fd = fd, .events = POLLIN, .revents = 0},
                                      pollfd{.fd = wakeFd_, .events = POLLIN, .revents = 0}};
        const int ready = ::poll(watched.data(), watched.size(), pollMilliseconds(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            return {.error = SerialError{SerialFault::Other, errno}};
        if (ready == 0)
            return {.value = false};
        const short events = watched[0].revents;
        if (events & POLLNVAL)
            return {.error = notOpen()};
        // A hung-up line also says POLLIN, but nothing more can be read from it.
        if (events & (POLLHUP | POLLERR))
            return {.error = hungUp()};
        if (events & POLLIN)
            return {.value = true};
        std::uint64_t count = 0;
        [[maybe_unused]] const auto ignored = ::read(wakeFd_, &count, sizeof count);
        return {.value = false};
    }
}

SerialResult<std::size_t> PosixSerialPort::write(std::span<const std::uint8_t> bytes) {
    const int fd = fd_;
    if (fd == kClosed)
        return {.error = notOpen()};
    if (bytes.empty())
        return {};
    for (;;) {
        const ssize_t count = ::write(fd, bytes.data(), bytes.size());
        if (count >= 0)
            return {.value = static_cast<std::size_t>(count)};
        // A full output queue is a stall the link handles, not a failure.
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return {};
        if (errno != EINTR)
            return {.error = transferFailure(errno)};
    }
}

std::optional<SerialError> PosixSerialPort::clearErrors() {
    if (fd_ == kClosed)
        return notOpen();
    return std::nullopt;
}

SerialResult<std::size_t> PosixSerialPort::outputQueueSize() {
    const int fd = fd_;
    if (fd == kClosed)
        return {.error = notOpen()};
    int waiting = 0;
    if (::ioctl(fd, TIOCOUTQ, &waiting) == 0)
        return {.value = static_cast<std::size_t>(std::max(waiting, 0))};
    if (refusedByPseudoTerminal(errno))
        return {};
    return {.error = transferFailure(errno)};
}

std::optional<SerialError> PosixSerialPort::close() {
    const int fd = fd_.exchange(kClosed);
    if (fd == kClosed)
        return std::nullopt;
    settleOutput(fd);
    releaseExclusive(fd);
    if (::close(fd) != 0 && errno != EINTR)
        return SerialError{SerialFault::Other, errno};
    return std::nullopt;
}

bool PosixSerialPort::isOpen() const {
    return fd_ != kClosed;
}

} // namespace konfigor
