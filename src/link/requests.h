#pragma once

#include "link/frame.h"
#include "link/receiver_memory.h"

#include <array>
#include <cstddef>
#include <cstdint>

// Every frame the tool sends, built without touching the port; the link writes the bytes.
// Pages are 0-220 and slots 0-703, as the link names them; the wire numbering is done here.
namespace konfigor::requests {

Frame requestVersion();
Frame sendPing();
Frame requestPage(std::size_t page);
Frame sendPage(std::size_t page, ReceiverMemory::PageBytes data);
Frame requestRecord(std::size_t slot);
// serialNumber carries bit 30 for a multi remote; bit 31 comes from copyLock alone. The counter
// goes out twice, as the receiver keeps it, and the masks (bit c: channel c + 1) are packed
// button 1 lowest.
Frame sendRecord(std::size_t slot, std::uint32_t serialNumber, std::uint16_t counter,
                 const std::array<std::uint16_t, 4>& buttonMasks, bool copyLock);
// Bit j of channelBits switches channel j + 1; only channels 1-4 exist.
Frame sendPress(std::uint8_t channelBits);
Frame requestReset();
Frame sendAnswer();
Frame endConnection();

} // namespace konfigor::requests
