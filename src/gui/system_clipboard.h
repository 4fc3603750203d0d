#pragma once

#include "sheet/clipboard.h"

#include <QString>

namespace konfigor {

// The desktop's clipboard: the private block under the format named "Dane Konfigora KVR" (on
// Windows the registered format of that name, so copies of the program exchange remotes), the
// text lines as plain text.
class SystemClipboard final : public Clipboard {
public:
    static QString privateFormat();

    // Qt owns the clipboard for the program; it is never busy.
    bool open() override { return true; }
    void close() override {}

    void put(std::span<const std::uint8_t> privateBlock, std::string_view text) override;
    std::optional<std::vector<std::uint8_t>> privateBlock() const override;
    bool offersPrivateBlock() const override;
};

} // namespace konfigor
