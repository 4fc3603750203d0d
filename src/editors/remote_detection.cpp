#include "editors/remote_detection.h"

#include "sheet/settings_sheet.h"

namespace konfigor {

RemoteDetection::Outcome RemoteDetection::onUnknownRemote(std::uint32_t serialWord,
                                                          std::uint16_t codeCounter,
                                                          const SettingsSheet& sheet) {
    // Word 0 marks an empty slot and "no detection": it names no remote.
    if (serialWord == 0)
        return {};
    if (const auto slot = sheet.findSerial(serialWord))
        return {.refusal = RemoteRefusal{RemoteRefusal::Where::Sheet, *slot + 1}};
    if (serialWord != detectedWord_) {
        detectedWord_ = serialWord;
        pressesNeeded_ = kPressesToAccept - 1;
    } else {
        --pressesNeeded_;
    }
    if (pressesNeeded_ > 0)
        return {.pressesNeeded = pressesNeeded_};
    reset();
    return {.accepted = Accepted{serialWord, codeCounter}};
}

RemoteDetection::Outcome RemoteDetection::onStoredRemote(std::size_t receiverSlot) {
    return {.refusal = RemoteRefusal{RemoteRefusal::Where::Receiver, receiverSlot + 1}};
}

void RemoteDetection::reset() {
    detectedWord_ = 0;
    pressesNeeded_ = 0;
}

} // namespace konfigor
