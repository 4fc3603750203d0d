#include "kvr/secret_input.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <termios.h>
#include <unistd.h>

namespace konfigor::kvr {
namespace {

// Far more than a PIN; input without a line end (a device, a binary file) is not read for ever.
constexpr std::size_t kLongestLine = 64;

constexpr std::array kEndingSignals{SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// What a signal handler needs to give the terminal its echo back.
termios settingsToRestore{};
volatile std::sig_atomic_t terminalToRestore = -1;

void restoreAndEnd(int signalNumber) {
    ::tcsetattr(terminalToRestore, TCSANOW, &settingsToRestore);
    ::signal(signalNumber, SIG_DFL);
    ::raise(signalNumber);
}

// The terminal does not echo for the guard's life. Ctrl-C meanwhile would otherwise leave the
// user's shell without echo, so the signals that end the program restore it first.
class EchoOff {
public:
    explicit EchoOff(int fd) {
        if (::tcgetattr(fd, &settingsToRestore) != 0)
            return;
        terminalToRestore = fd;
        catchEndingSignals();
        termios quiet = settingsToRestore;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        // Flushing drops anything typed ahead, which must not be taken for the PIN.
        active_ = ::tcsetattr(fd, TCSAFLUSH, &quiet) == 0;
    }
    ~EchoOff() {
        if (active_)
            ::tcsetattr(terminalToRestore, TCSANOW, &settingsToRestore);
        releaseEndingSignals();
        terminalToRestore = -1;
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    // A signal the program ignores (nohup) stays ignored.
    void catchEndingSignals() {
        struct sigaction restoring {};
        restoring.sa_handler = restoreAndEnd;
        sigemptyset(&restoring.sa_mask);
        for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
            if (::sigaction(kEndingSignals[i], nullptr, &previous_[i]) != 0 ||
                previous_[i].sa_handler != SIG_DFL)
                continue;
            caught_[i] = ::sigaction(kEndingSignals[i], &restoring, nullptr) == 0;
        }
    }
    void releaseEndingSignals() {
        for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
            if (caught_[i])
                ::sigaction(kEndingSignals[i], &previous_[i], nullptr);
        }
    }

    bool active_ = false;
    std::array<struct sigaction, kEndingSignals.size()> previous_{};
    std::array<bool, kEndingSignals.size()> caught_{};
};

std::optional<std::string> readLine(int fd) {
    std::string line;
    while (line.size() <= kLongestLine) {
        char c = 0;
        const ssize_t got = ::read(fd, &c, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        // A last line without its newline counts.
        if (got == 0)
            return line.empty() ? std::nullopt : std::optional(line);
        if (c == '\n')
            return line;
        line += c;
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> readSecretLine(int fd, std::ostream& promptOut,
                                          std::string_view prompt) {
    if (::isatty(fd) != 1)
        return readLine(fd);
    promptOut << prompt << std::flush;
    std::optional<std::string> line;
    {
        const EchoOff quiet(fd);
        line = readLine(fd);
    }
    // The Enter that ended the line was not echoed either.
    promptOut << '\n' << std::flush;
    return line;
}

} // namespace konfigor::kvr
