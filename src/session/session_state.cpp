#include "session/session_state.h"

#include "link/receiver_link.h"

namespace konfigor {

bool isPinAccepted(const ReceiverLink& link, const SessionState& state) {
    return link.image().read([&](const ReceiverMemory& memory) {
        return !memory.isPinRequired() || state.enteredPin == memory.pinText();
    });
}

} // namespace konfigor
