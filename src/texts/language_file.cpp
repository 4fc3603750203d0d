#include "texts/language_file.h"

#include "common/codepage1250.h"
#include "common/trimmed.h"
#include "common/utf8.h"
#include "texts/text_table.h"

#include <fstream>
#include <sstream>

namespace konfigor {
namespace {

constexpr char kEndOfFile = '\x1A';
// Far above 476 lines of any sensible length; a larger file is not a language file.
constexpr std::uintmax_t kMaximumFileSize = 16u << 20;

std::string asUtf8(std::string_view bytes) {
    if (utf8::isValid(bytes))
        return std::string(bytes);
    return cp1250::toUtf8(bytes);
}

char escaped(char letter) {
    switch (letter) {
    case 'a':
        return '\a';
    case 'b':
        return '\b';
    case 'f':
        return '\f';
    case 'n':
        return '\n';
    case 'r':
        return '\r';
    case 't':
        return '\t';
    case 'v':
        return '\v';
    case '\\':
        return '\\';
    default:
        return '\0';
    }
}

} // namespace

std::vector<LanguageFileLine> languageFileLines(std::string_view fileBytes) {
    if (const auto end = fileBytes.find(kEndOfFile); end != std::string_view::npos)
        fileBytes = fileBytes.substr(0, end);
    std::string text = asUtf8(fileBytes);
    std::erase(text, '\r');

    std::vector<LanguageFileLine> lines;
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::size_t lineEnd = rest.find('\n');
        const std::string_view line = rest.substr(0, lineEnd);
        rest = lineEnd == std::string_view::npos ? std::string_view() : rest.substr(lineEnd + 1);
        const std::size_t bar = line.find('|');
        if (bar == std::string_view::npos)
            lines.push_back({.label = {}, .text = std::string(line)});
        else
            lines.push_back({.label = std::string(line.substr(0, bar)),
                             .text = std::string(line.substr(bar + 1))});
    }
    return lines;
}

std::string withEscapesProcessed(std::string_view text) {
    std::string stored;
    stored.reserve(text.size());
    for (const char c : text) {
        if (stored.empty() || stored.back() != '\\') {
            stored += c;
            continue;
        }
        if (const char made = escaped(c); made != '\0')
            stored.back() = made;
        else
            stored.pop_back();
    }
    return stored;
}

LanguageApplied applyLanguageTexts(TextTable& texts, std::string_view fileBytes) {
    const std::vector<LanguageFileLine> fileLines = languageFileLines(fileBytes);
    const auto lines = languageLines();
    const auto messages = messageLines();
    LanguageApplied applied;
    applied.linesRead = std::min(fileLines.size(), lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const LanguageLine& line = lines[i];
        const bool inFile = i < fileLines.size();
        if (line.kind == LineKind::Control) {
            texts.setControlText(line.index, inFile ? fileLines[i].text : std::string());
            continue;
        }
        if (!inFile)
            continue;
        if (!texts.replace(messages[line.index].id, withEscapesProcessed(fileLines[i].text)))
            applied.refusedLines.push_back(line.line);
    }
    for (std::size_t i = lines.size(); i < fileLines.size(); ++i) {
        const std::optional<Keyed> id = keyedByKey(trimmed(fileLines[i].label));
        if (!id)
            continue;
        if (texts.replace(*id, withEscapesProcessed(fileLines[i].text)))
            ++applied.keyedTexts;
        else
            applied.refusedLines.push_back(i + 1);
    }
    return applied;
}

std::optional<LanguageApplied> applyLanguageFile(TextTable& texts,
                                                 const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error) ||
        std::filesystem::file_size(path, error) > kMaximumFileSize || error)
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad())
        return std::nullopt;
    return applyLanguageTexts(texts, bytes.str());
}

} // namespace konfigor
