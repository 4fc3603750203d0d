#include "common/cli_info.h"

#include <iostream>
#include <span>

namespace {

constexpr std::string_view kUsage =
    R"(Usage: kvr [--help] [--version] <command> [arguments]

Command-line companion of Konfigor USB for KVR ZOR receivers.

Options:
  -h, --help     show this help and exit
  -V, --version  show the version and exit
)";

} // namespace

int main(int argc, char* argv[]) {
    const std::span<char* const> args(argv, static_cast<std::size_t>(argc));
    if (const auto exitCode = konfigor::cli::handleInfoOptions(args, "kvr", kUsage))
        return *exitCode;
    std::cerr << "kvr: no command given\n" << kUsage;
    return 2;
}
