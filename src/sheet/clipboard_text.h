#pragma once

#include "sheet/remote_entry.h"
#include "sheet/settings_sheet.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

// The plain text form of copied remotes, for other applications: one line per remote,
// "description; serial word; code counter; channel grid" ending in CR LF. Texts are code page
// 1250 bytes, like the descriptions they carry.
namespace konfigor::clipboard_text {

// "T" or "N" per button 1-4 and channel 1-4, a space after every button's four letters:
// button n on channel n gives "TNNN NTNN NNTN NNNT ".
std::string channelGrid(const std::array<std::uint16_t, kButtonCount>& masks);

// The whole serial word in decimal, multi bit included.
std::string line(const RemoteEntry& remote);

std::string lines(std::span<const RemoteEntry> remotes);

// The text the copy and cut commands put on the clipboard: one line per marked slot, ascending.
std::string linesOfMarked(const SettingsSheet& sheet);

} // namespace konfigor::clipboard_text
