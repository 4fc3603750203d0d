#pragma once

namespace konfigor {

class ReceiverMemory;
struct SettingsSheet;

// The receiver's 704 records and its four channels' time, momentary and double-press settings
// into the sheet. Descriptions, marks, the identifier and the file name stay.
void copyImageToSheet(const ReceiverMemory& memory, SettingsSheet& sheet);
// Only the channels' settings: the version report brings them before any load.
void copyImageChannelsToSheet(const ReceiverMemory& memory, SettingsSheet& sheet);

// The sheet's records and channel settings into the memory. What the sheet does not hold stays
// as the receiver has it: the PIN, its required flag, both copy locks and the other bytes of the
// configuration page.
void copySheetToImage(const SettingsSheet& sheet, ReceiverMemory& memory);

} // namespace konfigor
