#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace konfigor {

struct ChannelEntry;
struct SettingsSheet;
class TextTable;

// The printed settings sheet as plain content: what each cell says and where the columns stand.
// Drawing it on paper is the GUI's business; everything here is standard library only.
namespace report {

// Sizes of the printed page in millimetres and of its fonts in points.
inline constexpr double kPageWidthMm = 210.0;
inline constexpr double kPageHeightMm = 297.0;
inline constexpr double kMarginMm = 10.0;
inline constexpr double kContentWidthMm = kPageWidthMm - 2 * kMarginMm;
inline constexpr double kContentHeightMm = kPageHeightMm - 2 * kMarginMm;
inline constexpr double kTitleHeightMm = 10.0;
inline constexpr double kHeaderHeightMm = 6.0;

inline constexpr double kTitlePoints = 16.0;
inline constexpr double kSectionPoints = 12.0;
inline constexpr double kCellPoints = 10.0;
inline constexpr double kFooterPoints = 8.0;

struct Column {
    double leftMm = 0.0;
    double widthMm = 0.0;
    // Free text reads from the left; numbers and short words stand centred.
    bool alignLeft = false;
    // Button cells keep the channels' digits under each other from row to row.
    bool fixedPitch = false;
};

// One framed table: a header row and the body rows, each row one text per column.
struct Table {
    std::vector<Column> columns;
    std::vector<std::string> headers;
    std::vector<std::vector<std::string>> rows;
};

struct SheetReport {
    std::string documentTitle; // what the printing system calls the job
    std::string title;
    std::string remoteSection;
    Table remotes;
    std::string channelSection;
    Table channels;
    std::string pageWord;
};

// Five characters: 'K' (the first letter of the channel word) when any channel is set, then
// "1" to "4" for each channel set and a space for each that is not.
std::string buttonCell(std::uint16_t mask, const TextTable& texts);

// "Tryb chwilowy", "Monostabilny [2.5]" with " Pdwójne przyciśnięcie" when double press is on,
// or "Bistabilny".
std::string modeText(const ChannelEntry& channel, const TextTable& texts);

// The footer's page number: "Strona: 3".
std::string pageText(const SheetReport& report, int page);

// The report of the sheet as it is now: a row for each slot holding a remote, in slot order,
// and one for each channel.
SheetReport buildSheetReport(const SettingsSheet& sheet, const TextTable& texts);

} // namespace report
} // namespace konfigor
