#pragma once

#include "sheet/remote_entry.h"

namespace konfigor::kvr {

// Which remote slots a listing names: the ones that hold a remote, or all of them. Empty slots
// can still carry a description, counter or lock, so only a listing of all reproduces a file.
enum class SlotSelection { Used, All };

inline bool isListed(const RemoteEntry& remote, SlotSelection selection) {
    return selection == SlotSelection::All || !remote.isEmpty();
}

} // namespace konfigor::kvr
