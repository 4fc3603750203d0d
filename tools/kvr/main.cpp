#include "common/cli_info.h"
#include "kvr/kvr_commands.h"

#include <iostream>
#include <span>
#include <unistd.h>
#include <vector>

int main(int argc, char* argv[]) {
    const std::span<char* const> args(argv, static_cast<std::size_t>(argc));
    if (const auto exitCode =
            konfigor::cli::handleInfoOptions(args, "kvr", konfigor::kvr::kvrHelp()))
        return *exitCode;
    const std::vector<std::string_view> words(args.begin() + (args.empty() ? 0 : 1), args.end());
    return konfigor::kvr::runKvr(words, std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1);
}
