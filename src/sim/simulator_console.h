#pragma once

#include "sim/pty_server.h"
#include "sim/receiver_simulator.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace konfigor {

// kvr-sim's commands, one a line:
//   press SERIAL BUTTON   a remote's button (1-4); SERIAL is decimal, "(M) 123" or "M123" for
//                         a multi remote
//   unplug, plug          the interface vanishes and comes back
//   dump FILE.bin         the whole memory, raw
//   quit                  stops serving
// Runs on the server's thread (PtyServer::serveCommands), since the simulator is not shared.
class SimulatorConsole {
public:
    SimulatorConsole(ReceiverSimulator& simulator, PtyServer& server);

    // "ok" or "error: ..."; nothing for a blank line.
    std::string execute(std::string_view line);

private:
    std::string press(std::string_view arguments);
    std::string unplug();
    std::string plug();
    std::string dump(std::string_view arguments);
    std::string quit();
    std::uint16_t nextUnknownCounter(std::uint32_t serialWord);

    ReceiverSimulator& simulator_;
    PtyServer& server_;
    // Remotes the receiver does not know still count their presses.
    std::map<std::uint32_t, std::uint16_t> unknownCounters_;
};

} // namespace konfigor
