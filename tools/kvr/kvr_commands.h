#pragma once

#include "kvr/kvr_arguments.h"

#include <ostream>
#include <span>
#include <string_view>
#include <unistd.h>

namespace konfigor::kvr {

inline constexpr int kExitSuccess = 0;
// A file could not be read or written.
inline constexpr int kExitFileError = 1;
// The receiver could not be reached or refused, or a transfer with it failed.
inline constexpr int kExitReceiverError = 1;
// Wrong command line, or an import refused because of its content.
inline constexpr int kExitUsage = 2;

// The text of --help.
std::string_view kvrHelp();

// Runs the command in `args` (the words after the program name): results go to `out`,
// messages to `err`, and progress of transfers too when `err` is a terminal. A PIN given as "-"
// is a line read from `inputFd`. Returns the exit status.
int runKvr(std::span<const std::string_view> args, std::ostream& out, std::ostream& err,
           bool errIsTerminal = false, int inputFd = STDIN_FILENO);

int runShow(const ShowRequest& request, std::ostream& out, std::ostream& err);
int runExport(const ExportRequest& request, std::ostream& out, std::ostream& err);
int runImport(const ImportRequest& request, std::ostream& err);
int runEvents(const EventsRequest& request, std::ostream& out, std::ostream& err);

} // namespace konfigor::kvr
