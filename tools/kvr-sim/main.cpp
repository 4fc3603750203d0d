#include "app/texts/text_table.h"
#include "common/cli_info.h"
#include "files/settings_file.h"
#include "kvr-sim/pty_server.h"
#include "kvr-sim/simulator_options.h"

#include <exception>
#include <iostream>
#include <span>
#include <vector>

namespace {

using namespace konfigor;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

constexpr std::string_view kUsage =
    R"(Usage: kvr-sim [options]

A KVR ZOR receiver and its USB programming interface in software, served on a
pseudo-terminal, for trying Konfigor USB and kvr without hardware. Prints the
terminal's path on one line, then serves until interrupted (Ctrl+C, SIGTERM).
Tools may close and reopen the terminal at will.

Options:
  --link PATH        also reach the terminal through a symbolic link at PATH,
                     removed on exit
  --firmware X.Y     firmware version to report (default 2.7)
  --multi            be a multi receiver (reports its version with 'Q')
  --pin NNNNN        the receiver's PIN (five digits)
  --pin-required     the receiver asks for its PIN
  --sheet FILE.kvr   start with the remotes and channels of a settings file
  --press-every MS   press a stored remote every MS milliseconds, one after
                     another, so that live events show
  --no-wire-delay    answer at once instead of at the pace of 9600 baud
  --drop N           lose the next N frames sent
  --corrupt N        damage the checksum of the next N frames sent
  --delay MS         wait MS milliseconds before each answer
  -h, --help         show this help and exit
  -V, --version      show the version and exit
)";

// The core's messages are made for dialogs, with Windows line ends.
std::string onOneLine(std::string_view message) {
    std::string line;
    for (const char c : message) {
        if (c == '\n')
            line += ' ';
        else if (c != '\r')
            line += c;
    }
    return line;
}

bool loadSheet(const std::filesystem::path& path, ReceiverSimulator& simulator) {
    SettingsSheet sheet;
    bool newerVersion = false;
    const TextTable texts;
    if (const auto failure = SettingsFile(texts).read(
            path, {sheet.remotes, sheet.channels, sheet.identifier, newerVersion})) {
        std::cerr << "kvr-sim: " << onOneLine(*failure) << '\n';
        return false;
    }
    simulator.loadSheet(sheet);
    return true;
}

int serve(ReceiverSimulator& simulator, const SimulatorOptions& options) {
    PtyServer server(simulator, options.link);
    if (options.pressEvery)
        server.pressStoredRemotesEvery(*options.pressEvery);
    server.stopOnSignals();
    // Scripts wait for this line, so it must not sit in a buffer.
    std::cout << server.slavePath() << std::endl;
    server.run();
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    const std::span<char* const> args(argv, static_cast<std::size_t>(argc));
    if (const auto exitCode = cli::handleInfoOptions(args, "kvr-sim", kUsage))
        return *exitCode;
    const std::vector<std::string_view> words(args.begin() + (args.empty() ? 0 : 1), args.end());
    const auto parsed = parseSimulatorOptions(words);
    if (const auto* error = std::get_if<OptionsError>(&parsed)) {
        std::cerr << "kvr-sim: " << error->message << "\nTry 'kvr-sim --help'.\n";
        return kExitUsage;
    }
    const auto& options = std::get<SimulatorOptions>(parsed);
    ReceiverSimulator simulator;
    configureSimulator(options, simulator);
    if (options.sheet && !loadSheet(*options.sheet, simulator))
        return kExitFailure;
    try {
        return serve(simulator, options);
    } catch (const std::exception& failure) {
        std::cerr << "kvr-sim: " << failure.what() << '\n';
        return kExitFailure;
    }
}
