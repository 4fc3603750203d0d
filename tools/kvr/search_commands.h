#pragma once

#include "kvr/receiver_commands.h"
#include "kvr/search_requests.h"

#include <ostream>
#include <unistd.h>

namespace konfigor::kvr {

// diff answers as diff(1) does.
inline constexpr int kDiffSame = 0;
inline constexpr int kDiffDifferent = 1;
inline constexpr int kDiffTrouble = 2;

// Scores every settings file under the folders against the sheet with the search's default
// criteria, best first. 0 when something was scored, 1 when nothing could be.
int runMatch(const MatchRequest& request, std::ostream& out, std::ostream& err);
// Every file and position holding the serial number. 0 when found, 1 when not, as grep.
int runFind(const FindRequest& request, std::ostream& out, std::ostream& err);
// A PIN given as "-" is a line read from `inputFd`.
int runDiff(const DiffRequest& request, std::ostream& out, std::ostream& err,
            const ReceiverCommandOptions& options = {}, int inputFd = STDIN_FILENO);

} // namespace konfigor::kvr
