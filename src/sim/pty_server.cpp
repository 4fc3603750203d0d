#include "sim/pty_server.h"

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

// Where the link points while unplugged: devpts only ever holds numbered terminals (and ptmx),
// so this never exists, and a tool opening the link fails as it would on a vanished device
// instead of reaching whichever terminal took over the old number.
constexpr std::string_view kUnpluggedTarget = "/dev/pts/unplugged";

// Bytes on the wake pipe.
constexpr char kStopByte = 's';
constexpr char kRequestByte = 'r';
// A command line longer than this is taken as it is; no command needs nearly as much.
constexpr std::size_t kMaxCommandLine = 4096;

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
    const char byte = kStopByte;
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

void writeAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t count = ::write(fd, text.data(), text.size());
        if (count < 0 && errno == EINTR)
            continue;
        // Whoever reads the answers has gone; serving goes on.
        if (count <= 0)
            return;
        text.remove_prefix(static_cast<std::size_t>(count));
    }
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
    : simulator_(simulator), start_(std::chrono::steady_clock::now()) {
    openTerminal();
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

std::string PtyServer::slavePath() const {
    const std::scoped_lock lock(slavePathMutex_);
    return slavePath_;
}

PtyServer::Time PtyServer::now() const {
    return std::chrono::duration_cast<Time>(std::chrono::steady_clock::now() - start_);
}

void PtyServer::pressStoredRemotesEvery(std::chrono::milliseconds interval) {
    pressInterval_ = interval;
    nextPressAt_ = now() + interval;
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

void PtyServer::serveCommands(int input, int replies, CommandHandler handler) {
    commandInput_ = input;
    commandReplies_ = replies;
    commandHandler_ = std::move(handler);
}

void PtyServer::run() {
    servingThread_.store(std::this_thread::get_id());
    struct Leaving {
        std::atomic<std::thread::id>& servingThread;
        ~Leaving() { servingThread.store({}); }
    } leaving{servingThread_};
    while (serveOnce()) {
    }
}

void PtyServer::stop() {
    // The flag holds even if the pipe were full; the byte wakes the loop.
    stopRequested_.store(true);
    wake(kStopByte);
}

void PtyServer::unplug() {
    carryOutOrQueue(Request::Unplug);
}

void PtyServer::plug() {
    carryOutOrQueue(Request::Plug);
}

void PtyServer::carryOutOrQueue(Request request) {
    if (onServingThread()) {
        carryOut(request);
        return;
    }
    {
        const std::scoped_lock lock(requestsMutex_);
        requests_.push_back(request);
    }
    wake(kRequestByte);
}

void PtyServer::wake(char reason) {
    // A full pipe wakes the loop all the same.
    [[maybe_unused]] const auto written = ::write(wakeWrite_.get(), &reason, 1);
}

bool PtyServer::serveOnce() {
    const Time now = this->now();
    if (master_.get() >= 0 && slaveClosed_ && now >= retryAt_)
        readRequests();
    pressDueRemote(now);
    deliverOutput(now);
    // A negative descriptor is left out of the poll.
    std::array<pollfd, 3> fds{{{wakeRead_.get(), POLLIN, 0},
                               {slaveClosed_ ? -1 : master_.get(), POLLIN, 0},
                               {commandInput_, POLLIN, 0}}};
    const std::optional<timespec> timeout = pollTimeout(now);
    if (::ppoll(fds.data(), fds.size(), timeout ? &*timeout : nullptr, nullptr) < 0) {
        if (errno == EINTR)
            return true;
        throwSystemError("poll");
    }
    // The terminal first: a command or request below may close it.
    if ((fds[1].revents & (POLLIN | POLLHUP | POLLERR)) != 0)
        readRequests();
    if (fds[2].revents != 0 && !readCommands())
        return false;
    return fds[0].revents == 0 || takeWakeUps();
}

// False when asked to stop.
bool PtyServer::takeWakeUps() {
    bool stopping = false;
    std::array<char, 64> bytes{};
    for (;;) {
        const ssize_t count = ::read(wakeRead_.get(), bytes.data(), bytes.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        const auto received = std::span(bytes).first(static_cast<std::size_t>(count));
        stopping = stopping || std::ranges::find(received, kStopByte) != received.end();
    }
    // Taken like the byte, so that a later run() serves again.
    if (stopRequested_.exchange(false) || stopping)
        return false;
    carryOutRequests();
    return true;
}

void PtyServer::carryOutRequests() {
    std::vector<Request> requests;
    {
        const std::scoped_lock lock(requestsMutex_);
        requests.swap(requests_);
    }
    for (const Request request : requests)
        carryOut(request);
}

void PtyServer::carryOut(Request request) {
    if (request == Request::Unplug)
        unplugNow();
    else
        plugNow();
}

void PtyServer::unplugNow() {
    if (master_.get() < 0)
        return;
    // Before the tool can notice, so that whoever sees the hang-up also sees it unplugged.
    plugged_.store(false);
    pointLinkAt(std::string(kUnpluggedTarget));
    master_.reset(-1);
    slaveClosed_ = true;
    simulator_.setSilent(true);
}

void PtyServer::plugNow() {
    if (master_.get() >= 0)
        return;
    openTerminal();
    if (link_)
        pointLinkAt(slavePath());
    simulator_.setSilent(false);
    plugged_.store(true);
}

void PtyServer::openTerminal() {
    master_.reset(openMaster());
    std::string path = slaveName(master_.get());
    closeSlaveOnce(path);
    makeRaw(master_.get());
    setNonBlockingAndCloseOnExec(master_.get());
    {
        const std::scoped_lock lock(slavePathMutex_);
        slavePath_ = std::move(path);
    }
    slaveClosed_ = true;
    retryAt_ = Time{0};
}

bool PtyServer::onServingThread() const {
    return servingThread_.load() == std::this_thread::get_id();
}

// False when the input has ended. The descriptor may block, so it is read once per poll.
bool PtyServer::readCommands() {
    std::array<char, 512> buffer{};
    const ssize_t count = ::read(commandInput_, buffer.data(), buffer.size());
    if (count < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK))
        return true;
    if (count <= 0) {
        // A last line without its line end still counts.
        if (!commandLine_.empty())
            answer(std::exchange(commandLine_, {}));
        return false;
    }
    commandLine_.append(buffer.data(), static_cast<std::size_t>(count));
    for (auto end = commandLine_.find('\n'); end != std::string::npos;
         end = commandLine_.find('\n')) {
        const std::string line = commandLine_.substr(0, end);
        commandLine_.erase(0, end + 1);
        answer(line);
    }
    if (commandLine_.size() > kMaxCommandLine)
        answer(std::exchange(commandLine_, {}));
    return true;
}

void PtyServer::answer(std::string_view line) {
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    const std::string reply = commandHandler_(line);
    if (!reply.empty())
        writeAll(commandReplies_, reply + '\n');
}

// To the microsecond: a wait rounded up to whole milliseconds would make every answer late by
// up to a millisecond, which a transfer of 221 pages adds up.
std::optional<timespec> PtyServer::pollTimeout(Time now) const {
    std::optional<Time> wake = simulator_.nextOutputTime();
    const auto consider = [&wake](Time at) { wake = wake ? std::min(*wake, at) : at; };
    if (slaveClosed_ && master_.get() >= 0)
        consider(retryAt_);
    if (pressInterval_)
        consider(nextPressAt_);
    if (!wake)
        return std::nullopt;
    const Time wait = std::max(*wake - now, Time{0});
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(wait);
    return timespec{
        .tv_sec = static_cast<time_t>(seconds.count()),
        .tv_nsec = static_cast<long>(
            std::chrono::duration_cast<std::chrono::nanoseconds>(wait - seconds).count())};
}

void PtyServer::readRequests() {
    std::array<std::uint8_t, 256> buffer{};
    for (;;) {
        const ssize_t count = ::read(master_.get(), buffer.data(), buffer.size());
        if (count > 0) {
            slaveClosed_ = false;
            simulator_.receive(std::span(buffer).first(static_cast<std::size_t>(count)), now());
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
    retryAt_ = now() + kReopenCheckInterval;
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
    // A link left behind by a simulator that was killed is replaced; anything else is not ours.
    if (fs::exists(fs::symlink_status(*link_)) && !fs::is_symlink(fs::symlink_status(*link_)))
        throw fs::filesystem_error("not a symbolic link", *link_,
                                   std::make_error_code(std::errc::file_exists));
    pointLinkAt(slavePath());
}

// A new link renamed over the old one, so that the path never goes missing in between.
void PtyServer::pointLinkAt(const std::string& target) {
    if (!link_)
        return;
    namespace fs = std::filesystem;
    fs::path staged = *link_;
    staged += ".new-" + std::to_string(::getpid());
    std::error_code ignored;
    fs::remove(staged, ignored);
    fs::create_symlink(target, staged);
    fs::rename(staged, *link_);
    linkTarget_ = target;
}

void PtyServer::removeLink() {
    if (!link_)
        return;
    std::error_code error;
    // Only our own: another simulator may have taken the name over meanwhile.
    if (std::filesystem::read_symlink(*link_, error) == linkTarget_ && !error)
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
