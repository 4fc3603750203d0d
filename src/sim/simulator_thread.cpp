#include "sim/simulator_thread.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <stdexcept>
#include <system_error>
#include <unistd.h>

namespace konfigor {
namespace {

void closeIfOpen(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

std::array<int, 2> makePipe() {
    std::array<int, 2> ends{};
    if (::pipe2(ends.data(), O_CLOEXEC) != 0)
        throw std::system_error(errno, std::generic_category(), "pipe");
    return ends;
}

} // namespace

SimulatorThread::SimulatorThread(ReceiverSimulator& simulator)
    : SimulatorThread(simulator, Options{}) {}

SimulatorThread::SimulatorThread(ReceiverSimulator& simulator, Options options)
    : server_(simulator, std::move(options.link)) {
    if (options.pressEvery)
        server_.pressStoredRemotesEvery(*options.pressEvery);
    if (options.console)
        openConsole(simulator);
    thread_ = std::thread([this] { server_.run(); });
}

SimulatorThread::~SimulatorThread() {
    stop();
    for (int* fd : {&commandsIn_, &repliesOut_, &consoleInput_, &consoleReplies_})
        closeIfOpen(*fd);
}

void SimulatorThread::openConsole(ReceiverSimulator& simulator) {
    const auto commands = makePipe();
    const auto replies = makePipe();
    consoleInput_ = commands[0];
    commandsIn_ = commands[1];
    repliesOut_ = replies[0];
    consoleReplies_ = replies[1];
    console_.emplace(simulator, server_);
    server_.serveCommands(consoleInput_, consoleReplies_,
                          [this](std::string_view line) { return console_->execute(line); });
}

std::string SimulatorThread::command(std::string_view line) {
    if (!console_)
        throw std::logic_error("the simulator thread was started without its console");
    std::string text(line);
    text += '\n';
    for (std::size_t written = 0; written < text.size();) {
        const ssize_t count = ::write(commandsIn_, text.data() + written, text.size() - written);
        if (count < 0 && errno != EINTR)
            throw std::system_error(errno, std::generic_category(), "console write");
        written += count > 0 ? static_cast<std::size_t>(count) : 0;
    }
    std::string reply;
    char byte = 0;
    while (true) {
        const ssize_t count = ::read(repliesOut_, &byte, 1);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0 || byte == '\n')
            return reply;
        reply += byte;
    }
}

void SimulatorThread::stop() {
    server_.stop();
    if (thread_.joinable())
        thread_.join();
}

} // namespace konfigor
