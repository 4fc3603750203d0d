#include "kvr-sim/pty_server.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace konfigor {
namespace {

using namespace std::chrono_literals;

// Short enough that a reopened slave is served without a noticeable pause, long enough that
// an idle simulator with no tool costs nothing.
constexpr std::chrono::microseconds kReopenCheckInterval = 20ms;

// The write end of the pipe that wakes the server whose run() signals stop; -1 for none.
std::atomic<int> gSignalWakeFd{-1};
static_assert(std::atomic<int>::is_always_lock_free, "used from a signal handler");

[[noreturn]] void throwSystemError(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

void check(int result, const char* what) {
    if (result < 0)
        throwSystemError(what);
}

void setNonBlockingAndCloseOnExec(int fd) {
    check(::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK), "fcntl");
    check(::fcntl(fd, F_SETFD, FD_CLOEXEC), "fcntl");
}

int openMaster() {
    const int fd = ::posix_openpt(O_RDWR | O_NOCTTY);
    check(fd, "posix_openpt");
    if (::grantpt(fd) < 0 || ::unlockpt(fd) < 0 || ::fcntl(fd, F_SETFD, FD_CLOEXEC) < 0) {
        const int error = errno;
        ::close(fd);
        throw std::system_error(error, std::generic_category(), "preparing the pseudo-terminal");
    }
    return fd;
}

std::string slaveName(int master) {
    std::array<char, 128> name{};
    if (const int error = ::ptsname_r(master, name.data(), name.size()); error != 0)
        throw std::system_error(error, std::generic_category(), "ptsname_r");
    return name.data();
}

// Until its slave has been opened once, the master neither fails reads nor reports a hang-up,
// and would keep what we write for whoever opens it first. After one open and close it behaves
// as after every later close, so a tool never gets what was sent before it came.
void closeSlaveOnce(const std::string& path) {
    const int slave = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    check(slave, "opening the pseudo-terminal's slave");
    ::close(slave);
}

// Shared by both ends: with the slave's default echo and line editing, the simulator's answers
// would come back to it as requests.
void makeRaw(int master) {
    termios settings{};
    check(::tcgetattr(master, &settings), "tcgetattr");
    ::cfmakeraw(&settings);
    check(::tcsetattr(master, TCSANOW, &settings), "tcsetattr");
}

extern "C" void wakeOnSignal(int) {
    const int savedErrno = errno;
    const char byte = 's';
    if (const int fd = gSignalWakeFd.load(); fd >= 0) [[maybe_unused]]
        const auto written = ::write(fd, &byte, 1);
    errno = savedErrno;
}

// Bits 0-30 name the remote; bit 31 is only the stored copy lock.
std::uint32_t remoteIdentity(const RemoteRecord& record) {
    return record.serialField & ~RemoteRecord::kCopyLockBit;
}

std::optional<std::size_t> nextStoredSlot(const ReceiverMemory& memory, std::size_t after) {
    for (std::size_t step = 1; step <= ReceiverMemory::kSlotCount; ++step) {
        const std::size_t slot = (after + step) % ReceiverMemory::kSlotCount;
        if (remoteIdentity(memory.record(slot)) != 0)
            return slot;
    }
    return std::nullopt;
}

// A button that switches something makes a livelier demo than one that does nothing.
std::uint8_t buttonToPress(std::uint16_t buttonWord) {
    constexpr unsigned kButtons = 4;
    constexpr unsigned kBitsPerButton = 4;
    for (unsigned button = 0; button < kButtons; ++button) {
        if (((buttonWord >> (button * kBitsPerButton)) & 0x0F) != 0)
            return static_cast<std::uint8_t>(1U << button);
    }
    return 1;
}

} // namespace

PtyServer::OwnedFd::~OwnedFd() {
    reset(-1);
}

void PtyServer::OwnedFd::reset(int fd) {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = fd;
}

PtyServer::PtyServer(ReceiverSimulator& simulator, std::optional<std::filesystem::path> link)
    : simulator_(simulator), master_(openMaster()), slavePath_(slaveName(master_.get())),
      start_(std::chrono::steady_clock::now()) {
    closeSlaveOnce(slavePath_);
    makeRaw(master_.get());
    setNonBlockingAndCloseOnExec(master_.get());
    std::array<int, 2> pipeEnds{};
    check(::pipe(pipeEnds.data()), "pipe");
    wakeRead_.reset(pipeEnds[0]);
    wakeWrite_.reset(pipeEnds[1]);
    setNonBlockingAndCloseOnExec(wakeRead_.get());
    setNonBlockingAndCloseOnExec(wakeWrite_.get());
    if (link) {
        link_ = std::move(link);
        createLink();
    }
}

PtyServer::~PtyServer() {
    restoreSignals();
    removeLink();
}

void PtyServer::pressStoredRemotesEvery(std::chrono::milliseconds interval) {
    pressInterval_ = interval;
    nextPressAt_ = elapsed() + interval;
}

void PtyServer::stopOnSignals() {
    gSignalWakeFd.store(wakeWrite_.get());
    struct sigaction action {};
    action.sa_handler = wakeOnSignal;
    sigemptyset(&action.sa_mask);
    check(::sigaction(SIGINT, &action, &previousInt_), "sigaction");
    check(::sigaction(SIGTERM, &action, &previousTerm_), "sigaction");
    handlingSignals_ = true;
}

void PtyServer::run() {
    while (serveOnce()) {
    }
}

void PtyServer::stop() {
    const char byte = 's';
    // A full pipe already holds a stop request.
    [[maybe_unused]] const auto written = ::write(wakeWrite_.get(), &byte, 1);
}

PtyServer::Time PtyServer::elapsed() const {
    return std::chrono::duration_cast<Time>(std::chrono::steady_clock::now() - start_);
}

bool PtyServer::serveOnce() {
    const Time now = elapsed();
    if (slaveClosed_ && now >= retryAt_)
        readRequests();
    pressDueRemote(now);
    deliverOutput(now);
    // A negative descriptor is left out of the poll.
    std::array<pollfd, 2> fds{
        {{wakeRead_.get(), POLLIN, 0}, {slaveClosed_ ? -1 : master_.get(), POLLIN, 0}}};
    if (::poll(fds.data(), fds.size(), pollTimeout(now)) < 0) {
        if (errno == EINTR)
            return true;
        throwSystemError("poll");
    }
    if (fds[0].revents != 0)
        return false;
    if ((fds[1].revents & (POLLIN | POLLHUP | POLLERR)) != 0)
        readRequests();
    return true;
}

int PtyServer::pollTimeout(Time now) const {
    std::optional<Time> wake = simulator_.nextOutputTime();
    const auto consider = [&wake](Time at) { wake = wake ? std::min(*wake, at) : at; };
    if (slaveClosed_)
        consider(retryAt_);
    if (pressInterval_)
        consider(nextPressAt_);
    if (!wake)
        return -1;
    if (*wake <= now)
        return 0;
    // Rounded up: waking before the time would only mean polling again.
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*wake - now).count();
    return static_cast<int>(std::min<decltype(wait)>(wait, INT_MAX));
}

void PtyServer::readRequests() {
    std::array<std::uint8_t, 256> buffer{};
    for (;;) {
        const ssize_t count = ::read(master_.get(), buffer.data(), buffer.size());
        if (count > 0) {
            slaveClosed_ = false;
            simulator_.receive(std::span(buffer).first(static_cast<std::size_t>(count)), elapsed());
        } else if (count < 0 && errno == EINTR) {
            continue;
        } else if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            slaveClosed_ = false;
            return;
        } else if (count == 0 || errno == EIO) {
            noteHangUp();
            return;
        } else {
            throwSystemError("reading the pseudo-terminal");
        }
    }
}

void PtyServer::deliverOutput(Time now) {
    const std::vector<std::uint8_t> bytes = simulator_.takeOutput(now);
    // Nobody to hear them: an interface whose port is closed loses them too.
    if (!bytes.empty() && !slaveClosed_)
        writeToTool(bytes);
}

// What does not fit is lost, as on a line whose far end stopped reading; holding it back would
// only grow without bound. A tool that reads never gets near the terminal's buffer size.
void PtyServer::writeToTool(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t count = ::write(master_.get(), bytes.data(), bytes.size());
        if (count > 0) {
            bytes = bytes.subspan(static_cast<std::size_t>(count));
        } else if (count < 0 && errno == EINTR) {
            continue;
        } else if (count < 0 && errno == EIO) {
            noteHangUp();
            return;
        } else if (count == 0 || errno == EAGAIN || errno == EWOULDBLOCK) {
            return;
        } else {
            throwSystemError("writing the pseudo-terminal");
        }
    }
}

void PtyServer::noteHangUp() {
    slaveClosed_ = true;
    retryAt_ = elapsed() + kReopenCheckInterval;
}

void PtyServer::pressDueRemote(Time now) {
    if (!pressInterval_ || now < nextPressAt_)
        return;
    nextPressAt_ += *pressInterval_;
    // After a long stall, go on from now instead of pressing to catch up.
    if (nextPressAt_ <= now)
        nextPressAt_ = now + *pressInterval_;
    const auto slot = nextStoredSlot(simulator_.memory(), lastPressedSlot_);
    if (!slot)
        return;
    lastPressedSlot_ = *slot;
    const RemoteRecord record = simulator_.storedRemote(*slot);
    simulator_.pressRemote(remoteIdentity(record), buttonToPress(record.buttonWord),
                           static_cast<std::uint16_t>(record.counter + 1), now);
}

void PtyServer::createLink() {
    namespace fs = std::filesystem;
    // A link left behind by a simulator that was killed.
    if (fs::is_symlink(fs::symlink_status(*link_)))
        fs::remove(*link_);
    fs::create_symlink(slavePath_, *link_);
}

void PtyServer::removeLink() {
    if (!link_)
        return;
    std::error_code error;
    // Only our own: another simulator may have taken the name over meanwhile.
    if (std::filesystem::read_symlink(*link_, error) == slavePath_ && !error)
        std::filesystem::remove(*link_, error);
}

void PtyServer::restoreSignals() {
    if (!handlingSignals_)
        return;
    gSignalWakeFd.store(-1);
    ::sigaction(SIGINT, &previousInt_, nullptr);
    ::sigaction(SIGTERM, &previousTerm_, nullptr);
}

} // namespace konfigor
