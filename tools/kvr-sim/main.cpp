#include "common/cli_info.h"

#include <iostream>
#include <span>

namespace {

constexpr std::string_view kUsage =
    R"(Usage: kvr-sim [--help] [--version]

A KVR ZOR receiver and its USB programming interface in software, served on a
pseudo-terminal, for trying Konfigor USB and kvr without hardware.

Options:
  -h, --help     show this help and exit
  -V, --version  show the version and exit
)";

} // namespace

int main(int argc, char* argv[]) {
    const std::span<char* const> args(argv, static_cast<std::size_t>(argc));
    if (const auto exitCode = konfigor::cli::handleInfoOptions(args, "kvr-sim", kUsage))
        return *exitCode;
    std::cerr << "kvr-sim: the simulated receiver is not available in this build yet\n";
    return 2;
}
