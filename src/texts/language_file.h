#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace konfigor {

class TextTable;

struct LanguageFileLine {
    // Up to the line's first "|"; empty when it has none.
    std::string label;
    // After that "|", or the whole line.
    std::string text;

    friend bool operator==(const LanguageFileLine&, const LanguageFileLine&) = default;
};

// A language file: one text per line in the program's fixed order, each after a label that
// ends at the line's first "|" and is ignored; after the fixed lines, the label is a keyed
// text's key. Read as text: CRs are dropped, a Ctrl+Z byte ends the file and a last line
// without its LF counts. UTF-8 when the file is valid UTF-8, else code page 1250; the lines
// come out as UTF-8.
std::vector<LanguageFileLine> languageFileLines(std::string_view fileBytes);

// A message line's text with its backslash sequences made characters: \a \b \f \n \r \t \v
// and \\ (a backslash made from a pair combines with the next letter again); any other
// character after a backslash is dropped with it.
std::string withEscapesProcessed(std::string_view text);

struct LanguageApplied {
    // Lines the file had, up to the program's number of lines.
    std::size_t linesRead = 0;
    // Keyed texts replaced from the lines after the fixed ones.
    std::size_t keyedTexts = 0;
    // Line numbers of messages and keyed texts kept as they were because the translation's
    // placeholders differ from the built-in text's.
    std::vector<std::size_t> refusedLines;
};

// Replaces the texts, line by line: a message is replaced (cut at its capacity) when the file
// has its line; a control text is set, to an empty text when the file ended before its line.
// After the fixed lines, a line whose label is a keyed text's key replaces that text as a
// message line would; other lines there are ignored.
LanguageApplied applyLanguageTexts(TextTable& texts, std::string_view fileBytes);

// The file at `path`; nothing, and no text changed, when it cannot be read or is larger than
// any language file can sensibly be.
std::optional<LanguageApplied> applyLanguageFile(TextTable& texts,
                                                 const std::filesystem::path& path);

} // namespace konfigor
