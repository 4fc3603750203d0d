#include "session/receiver_controls.h"

#include "link/receiver_link.h"
#include "session/session_state.h"

namespace konfigor {

ReceiverControls receiverControls(bool on, const ReceiverLink& link,
                                  const SessionOptions& options) {
    return link.image().read([&](const ReceiverMemory& memory) {
        return ReceiverControls{.enabled = on,
                                .pinPressed = on && memory.isPinRequired(),
                                .autosavePressed = options.autosave,
                                .globalCopyLockPressed = on && memory.isGlobalCopyLock(),
                                .adminCopyLockPressed = on && memory.isAdminCopyLock()};
    });
}

} // namespace konfigor
