#pragma once

#include <ostream>
#include <span>
#include <string_view>

namespace konfigor::kvr {

// "kvr report FILE.kvr -o OUT.pdf": the settings sheet report as the program prints it,
// written to a PDF file. Needs no display: Qt draws on its offscreen platform. `args` are the
// words after "report"; returns the exit status.
int runReportCommand(std::span<const std::string_view> args, std::ostream& err);

} // namespace konfigor::kvr
