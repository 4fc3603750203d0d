#pragma once

#include "link/receiver_image.h"
#include "sheet/sheet_session.h"

#include <string>
#include <vector>

namespace konfigor::testing_support {

// The receiver session as the sheet logic sees it, recording what it was asked to send.
class FakeSheetSession final : public SheetSession {
public:
    bool isOperationPending() const override { return operationPending; }
    bool isAutosaveActive() const override { return autosave; }
    bool writeSheetToReceiver() override {
        ++sheetWrites;
        return writesSucceed;
    }
    bool writeRemoteRecord(std::size_t slot) override {
        recordWrites.push_back(slot);
        return writesSucceed;
    }
    bool writeChannelSettings() override {
        ++channelWrites;
        return writesSucceed;
    }
    void setSecondRecordSlot(std::size_t slot) override { secondRecordSlots.push_back(slot); }
    void clearImage(bool channelDefaults) override {
        image_.clear(channelDefaults);
        imageClears.push_back(channelDefaults);
    }
    void setEnteredPin(std::string_view pin) override { enteredPins.emplace_back(pin); }
    ReceiverImage& image() override { return image_; }

    bool operationPending = false;
    bool autosave = false;
    bool writesSucceed = true;
    int sheetWrites = 0;
    int channelWrites = 0;
    std::vector<std::size_t> recordWrites;
    std::vector<std::size_t> secondRecordSlots;
    std::vector<bool> imageClears;
    std::vector<std::string> enteredPins;

private:
    ReceiverImage image_;
};

} // namespace konfigor::testing_support
