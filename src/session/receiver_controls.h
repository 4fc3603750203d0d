#pragma once

#include "session/session_surface.h"

namespace konfigor {

class ReceiverLink;
struct SessionOptions;

// The receiver controls on or off, with the toggles showing the receiver's PIN and lock
// settings while on and the autosave option always.
ReceiverControls receiverControls(bool on, const ReceiverLink& link, const SessionOptions& options);

} // namespace konfigor
