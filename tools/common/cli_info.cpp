#include "common/cli_info.h"

#include "konfigor/version.h"

#include <iostream>

namespace konfigor::cli {

std::optional<int> handleInfoOptions(std::span<char* const> args, std::string_view program,
                                     std::string_view usage) {
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--") // what follows are operands, never options
            break;
        if (arg == "--help" || arg == "-h") {
            std::cout << usage;
            return 0;
        }
        if (arg == "--version" || arg == "-V") {
            std::cout << program << ' ' << kProgramVersion << '\n';
            return 0;
        }
    }
    return std::nullopt;
}

} // namespace konfigor::cli
