#include "common/cli_info.h"
#include "kvr/kvr_commands.h"
#ifdef KVR_WITH_REPORT
#include "kvr/report_command.h"
#endif

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
#ifdef KVR_WITH_REPORT
    // The report draws with Qt, which the other commands do without.
    if (!words.empty() && words.front() == "report")
        return konfigor::kvr::runReportCommand(std::span(words).subspan(1), std::cerr);
#endif
    return konfigor::kvr::runKvr(words, std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1);
}
