#pragma once

namespace konfigor {

// What the description search compares between the sheet and each settings file: the check
// boxes of the criteria dialog. They keep their state for the program's life and are not
// stored in the configuration.
struct SearchCriteria {
    bool channelDescriptions = false; // CheckBoxC1
    bool channelTimes = true;         // CheckBoxC2: only the time of each channel
    bool remoteDescriptions = false;  // CheckBoxR1
    bool serialWords = true;          // CheckBoxR2: all 32 bits
    bool codeCounters = false;        // CheckBoxR3
    bool buttonMasks = false;         // CheckBoxR4: the four masks together
    bool copyLocks = false;           // CheckBoxR5
    bool skipEmptySlots = true;       // CheckBoxNoEmpty: slots empty in both are not compared

    friend bool operator==(const SearchCriteria&, const SearchCriteria&) = default;
};

} // namespace konfigor
