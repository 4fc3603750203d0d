#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace konfigor {

// The operating system's clipboard as the clipboard commands need it. The Qt layer implements it
// with QClipboard (the private block under a custom MIME type named after
// clipboard_block::kFormatName, the text as plain text); tests use a fake. The clipboard may be
// held by another program for a moment, so opening can fail and is retried by the caller.
class Clipboard {
public:
    virtual ~Clipboard() = default;

    // One attempt to take the clipboard for this program; false when it is busy.
    virtual bool open() = 0;
    virtual void close() = 0;

    // While open: empties the clipboard and puts both forms at once. The text is UTF-8.
    virtual void put(std::span<const std::uint8_t> privateBlock, std::string_view text) = 0;

    // While open: the private block, or nothing when the clipboard holds none.
    virtual std::optional<std::vector<std::uint8_t>> privateBlock() const = 0;

    // Whether the private form is offered; needs no opening (it drives the Paste commands'
    // enabled state).
    virtual bool offersPrivateBlock() const = 0;
};

} // namespace konfigor
