#pragma once

#include "kvr/kvr_arguments.h"
#include "kvr/receiver_session.h"

#include <ostream>
#include <string>

namespace konfigor {
class PortSource;
}

namespace konfigor::kvr {

// How the receiver commands run.
struct ReceiverCommandOptions {
    // Percentages of transfers on the error stream; only sensible when it is a terminal.
    bool showProgress = false;
    ReceiverSession::Limits limits;
};

// Where `actual` differs from `expected`, for the user: "the configuration" and "slots 3, 17"
// (counted from 1, at most twenty named), joined by "and". Only for memories that differ.
std::string describeDifferences(const ReceiverMemory& expected, const ReceiverMemory& actual);

// Lists the interfaces `source` finds; nullptr when discovery is not available.
int runPorts(PortSource* source, std::ostream& out, std::ostream& err);
int runInfo(const InfoRequest& request, std::ostream& out, std::ostream& err,
            const ReceiverCommandOptions& options = {});
int runRead(const ReadRequest& request, std::ostream& err,
            const ReceiverCommandOptions& options = {});
int runWrite(const WriteRequest& request, std::ostream& err,
             const ReceiverCommandOptions& options = {});
// Changes the PIN setting in the configuration page alone and reads it back.
int runPin(const PinRequest& request, std::ostream& err,
           const ReceiverCommandOptions& options = {});

} // namespace konfigor::kvr
