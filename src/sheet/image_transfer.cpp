#include "sheet/image_transfer.h"

#include "link/receiver_memory.h"
#include "sheet/settings_sheet.h"

namespace konfigor {

void copyImageToSheet(const ReceiverMemory& memory, SettingsSheet& sheet) {
    for (std::size_t slot = 0; slot < kRemoteSlotCount; ++slot)
        sheet.fromReceiverRecord(slot, memory.record(slot));
    copyImageChannelsToSheet(memory, sheet);
}

void copyImageChannelsToSheet(const ReceiverMemory& memory, SettingsSheet& sheet) {
    for (std::size_t channel = 0; channel < kChannelCount; ++channel) {
        ChannelEntry& entry = sheet.channels[channel];
        entry.time = memory.channelTime(channel);
        entry.transientMode = memory.isChannelMomentary(channel);
        entry.doublePress = memory.isChannelDoublePress(channel);
    }
}

void copySheetToImage(const SettingsSheet& sheet, ReceiverMemory& memory) {
    for (std::size_t slot = 0; slot < kRemoteSlotCount; ++slot)
        memory.setRecord(slot, sheet.toReceiverRecord(slot));
    for (std::size_t channel = 0; channel < kChannelCount; ++channel) {
        const ChannelEntry& entry = sheet.channels[channel];
        memory.setChannelTime(channel, entry.time);
        memory.setChannelMomentary(channel, entry.transientMode);
        memory.setChannelDoublePress(channel, entry.doublePress);
    }
}

} // namespace konfigor
