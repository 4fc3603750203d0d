#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace konfigor {

struct SettingsSheet;

// A remote the receiver reported that may not be entered again, and where it already is.
struct RemoteRefusal {
    enum class Where { Sheet, Receiver };
    Where where = Where::Sheet;
    std::size_t position = 0; // as the user counts: 1-704

    friend bool operator==(const RemoteRefusal&, const RemoteRefusal&) = default;
};

// Taking a new remote's serial word from the receiver's reports: the same unknown remote heard
// three times in a row is accepted. Another remote in between starts the count again; there is
// no time limit between presses.
class RemoteDetection {
public:
    static constexpr int kPressesToAccept = 3;

    struct Accepted {
        std::uint32_t serialWord = 0;
        std::uint16_t codeCounter = 0;
    };
    // What a report did: nothing (no remote named), counted (presses still needed), refused, or
    // accepted.
    struct Outcome {
        int pressesNeeded = 0;
        std::optional<RemoteRefusal> refusal;
        std::optional<Accepted> accepted;
    };

    // A remote the receiver does not know ('N'). It is refused when any slot of the sheet holds
    // the same word, all 32 bits compared.
    Outcome onUnknownRemote(std::uint32_t serialWord, std::uint16_t codeCounter,
                            const SettingsSheet& sheet);
    // A remote stored in the receiver at this slot (0-703) ('T').
    Outcome onStoredRemote(std::size_t receiverSlot);

    // The count starts afresh: after acceptance, a refusal or a cancelled detection.
    void reset();
    bool isUnderWay() const { return detectedWord_ != 0; }
    std::uint32_t detectedWord() const { return detectedWord_; }
    int pressesNeeded() const { return pressesNeeded_; }

private:
    std::uint32_t detectedWord_ = 0;
    int pressesNeeded_ = 0;
};

} // namespace konfigor
