#include "common/cli_info.h"
#include "files/settings_file.h"
#include "sim/memory_image.h"
#include "sim/pty_server.h"
#include "sim/simulator_console.h"
#include "sim/simulator_options.h"
#include "texts/text_table.h"

#include <csignal>
#include <exception>
#include <iostream>
#include <span>
#include <unistd.h>
#include <vector>

namespace {

using namespace konfigor;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

constexpr std::string_view kUsage =
    R"(Usage: kvr-sim [options]

A KVR ZOR receiver and its USB programming interface in software, served on a
pseudo-terminal, for trying Konfigor USB and kvr without hardware. Prints the
terminal's path as the first line, then serves until standard input ends, the
command quit, Ctrl+C or SIGTERM. Tools may close and reopen the terminal at
will. To serve in the background, keep standard input open
(sleep infinity | kvr-sim &).

Options:
  --firmware X.Y       firmware version to report, each part 0-15 (default 2.7);
                       --version X.Y does the same when followed by a version
                       of that form, while --version alone shows kvr-sim's own
  --multi              be a multi receiver (reports its version with 'Q')
  --pin NNNNN          the receiver's PIN (five digits)
  --pin-required       the receiver asks for its PIN
  --memory FILE.kvr    start with the remotes and channels of a settings file
  --image FILE.bin     start with a raw memory image (exactly 7072 bytes)
  --wire-timing        take the time of a 9600 baud line for every byte (by
                       default answers come at once)
  --drop P             lose each frame sent with probability P (0 to 1)
  --corrupt P          change one byte of each frame sent with probability P
  --duplicate P        send each frame twice, back to back, with probability P
  --seed N             seed of the fault draws (default 1); the same seed and
                       the same traffic give the same faults
  --link PATH          also reach the terminal through a symbolic link at PATH,
                       kept while unplugged, removed on exit
  --press-every MS     press a stored remote every MS milliseconds, one after
                       another, so that live events show
  --delay MS           wait MS milliseconds before each answer
  --reply-delay LETTER=MS[,LETTER=MS...]
                       answer requests of that letter (V, E, S, L, C, D, P,
                       R) after MS milliseconds instead of --delay; answers
                       still leave in the order of their requests
  -h, --help           show this help and exit
  -V, --version        show the version and exit

Commands on standard input, one a line, each answered with "ok" or
"error: ..." on standard output:
  press SERIAL BUTTON  press button 1-4 of a remote; SERIAL is decimal, with
                       "(M) " or "M" before it for a multi remote. A stored
                       remote is reported with 'T', any other with 'N'
  unplug               the interface vanishes: the terminal closes (the link
                       stays, leading nowhere); the receiver keeps its memory
  plug                 it comes back on a new terminal, the link leading there
  dump FILE.bin        write the whole memory, raw (7072 bytes)
  quit                 stop serving
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

bool loadMemory(const SimulatorOptions& options, ReceiverSimulator& simulator) {
    if (options.memoryFile)
        return loadSheet(*options.memoryFile, simulator);
    if (!options.image)
        return true;
    if (const auto failure = memory_image::load(*options.image, simulator.memory())) {
        std::cerr << "kvr-sim: " << *failure << '\n';
        return false;
    }
    return true;
}

int serve(ReceiverSimulator& simulator, const SimulatorOptions& options) {
    PtyServer server(simulator, options.link);
    if (options.pressEvery)
        server.pressStoredRemotesEvery(*options.pressEvery);
    server.stopOnSignals();
    SimulatorConsole console(simulator, server);
    server.serveCommands(STDIN_FILENO, STDOUT_FILENO,
                         [&console](std::string_view line) { return console.execute(line); });
    // Scripts wait for this line, so it must not sit in a buffer.
    std::cout << server.slavePath() << std::endl;
    server.run();
    return 0;
}

// --help and --version are looked for among the words that are not --version naming the
// firmware.
std::vector<char*> infoWords(std::span<char* const> args, std::span<const std::string_view> words) {
    std::vector<char*> kept(args.begin(), args.begin() + (args.empty() ? 0 : 1));
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (!isFirmwareVersion(words, i))
            kept.push_back(args[i + 1]);
        else if (words[i] == "--version")
            ++i;
    }
    return kept;
}

} // namespace

int main(int argc, char* argv[]) {
    const std::span<char* const> args(argv, static_cast<std::size_t>(argc));
    const std::vector<std::string_view> words(args.begin() + (args.empty() ? 0 : 1), args.end());
    if (const auto exitCode = cli::handleInfoOptions(infoWords(args, words), "kvr-sim", kUsage))
        return *exitCode;
    const auto parsed = parseSimulatorOptions(words);
    if (const auto* error = std::get_if<OptionsError>(&parsed)) {
        std::cerr << "kvr-sim: " << error->message << "\nTry 'kvr-sim --help'.\n";
        return kExitUsage;
    }
    const auto& options = std::get<SimulatorOptions>(parsed);
    ReceiverSimulator simulator;
    configureSimulator(options, simulator);
    if (!loadMemory(options, simulator))
        return kExitFailure;
    // Answers to a reader that has gone are lost; the receiver goes on.
    std::signal(SIGPIPE, SIG_IGN);
    try {
        return serve(simulator, options);
    } catch (const std::exception& failure) {
        std::cerr << "kvr-sim: " << failure.what() << '\n';
        return kExitFailure;
    }
}
