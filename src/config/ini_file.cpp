#include "config/ini_file.h"

#include "common/atomic_file.h"
#include "common/trimmed.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <fstream>
#include <span>
#include <sstream>
#include <system_error>

namespace konfigor {
namespace {

constexpr std::string_view kLineBreaks = "\r\n";
constexpr char kCommentStart = ';';
constexpr char kSectionOpen = '[';
constexpr char kSectionClose = ']';
constexpr char kAssignment = '=';
constexpr std::string_view kLineEnd = "\r\n";

// What a single line of the file can hold.
std::string_view withinOneLine(std::string_view text) {
    return text.substr(0, text.find_first_of(kLineBreaks));
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

// The section, or key/value pair, of that name in `entries`; null when there is none.
template <typename Entries>
auto* named(Entries& entries, std::string_view name) {
    const auto found = std::ranges::find_if(entries, [name](const auto& entry) {
        if constexpr (requires { entry.name; })
            return sameName(entry.name, name);
        else
            return sameName(entry.first, name);
    });
    return found != entries.end() ? &*found : nullptr;
}

bool isSectionLine(std::string_view line) {
    return line.size() >= 2 && line.front() == kSectionOpen && line.back() == kSectionClose;
}

// The next line without its line end; `rest` moves past it.
std::string_view nextLine(std::string_view& rest) {
    const auto end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

} // namespace

IniFile IniFile::parse(std::string_view text) {
    IniFile file;
    Section* current = nullptr;
    while (!text.empty()) {
        const std::string_view line = trimmed(nextLine(text));
        if (line.empty() || line.front() == kCommentStart)
            continue;
        if (isSectionLine(line)) {
            current = &file.sectionForWriting(trimmed(line.substr(1, line.size() - 2)));
            continue;
        }
        const auto assignment = line.find(kAssignment);
        if (current == nullptr || assignment == std::string_view::npos)
            continue;
        const std::string_view key = trimmed(line.substr(0, assignment));
        if (named(current->values, key) == nullptr)
            current->values.emplace_back(key, trimmed(line.substr(assignment + 1)));
    }
    return file;
}

std::string IniFile::serialize() const {
    std::string text;
    for (const Section& section : sections_) {
        text.append(1, kSectionOpen).append(section.name).append(1, kSectionClose).append(kLineEnd);
        for (const auto& [key, value] : section.values)
            text.append(key).append(1, kAssignment).append(value).append(kLineEnd);
    }
    return text;
}

IniFile IniFile::load(const std::filesystem::path& path) {
    // Only a regular file: a folder fails to read and a pipe could block the start-up.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return {};
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    std::ostringstream text;
    // An empty file copies nothing and marks the copy failed; it is still an empty file.
    text << in.rdbuf();
    return in.bad() ? IniFile{} : parse(text.str());
}

bool IniFile::save(const std::filesystem::path& path) const {
    std::error_code ignored;
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path(), ignored);
    const std::string text = serialize();
    const auto bytes = std::as_bytes(std::span(text));
    return !writeFileAtomically(
        path, {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
    const std::string* value = findValue(section, key);
    return std::string(value != nullptr ? std::string_view(*value) : defaultValue);
}

int IniFile::readInteger(std::string_view section, std::string_view key, int defaultValue) const {
    return findInteger(section, key).value_or(defaultValue);
}

std::optional<int> IniFile::findInteger(std::string_view section, std::string_view key) const {
    const std::string* value = findValue(section, key);
    if (value == nullptr)
        return std::nullopt;
    int number = 0;
    const char* end = value->data() + value->size();
    const auto [stop, error] = std::from_chars(value->data(), end, number);
    if (error != std::errc{} || stop != end)
        return std::nullopt;
    return number;
}

bool IniFile::ReadYesNo(std::string_view section, std::string_view key, bool defaultValue) const {
    const std::string* value = findValue(section, key);
    return value != nullptr ? *value == kYesValue : defaultValue;
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
    Section& target = sectionForWriting(withinOneLine(section));
    const std::string_view name = withinOneLine(key);
    if (auto* existing = named(target.values, name))
        existing->second = withinOneLine(value);
    else
        target.values.emplace_back(name, withinOneLine(value));
}

void IniFile::writeInteger(std::string_view section, std::string_view key, int value) {
    writeString(section, key, std::to_string(value));
}

void IniFile::WriteYesNo(std::string_view section, std::string_view key, bool value) {
    writeString(section, key, value ? kYesValue : kNoValue);
}

bool IniFile::hasKey(std::string_view section, std::string_view key) const {
    return findValue(section, key) != nullptr;
}

std::vector<IniFile::KeyValue> IniFile::sectionValues(std::string_view section) const {
    const Section* found = findSection(section);
    return found != nullptr ? found->values : std::vector<KeyValue>{};
}

void IniFile::eraseSection(std::string_view section) {
    std::erase_if(sections_, [section](const Section& s) { return sameName(s.name, section); });
}

const IniFile::Section* IniFile::findSection(std::string_view name) const {
    return named(sections_, name);
}

IniFile::Section& IniFile::sectionForWriting(std::string_view name) {
    if (Section* found = named(sections_, name))
        return *found;
    return sections_.emplace_back(Section{std::string(name), {}});
}

const std::string* IniFile::findValue(std::string_view section, std::string_view key) const {
    const Section* found = findSection(section);
    const KeyValue* entry = found != nullptr ? named(found->values, key) : nullptr;
    return entry != nullptr ? &entry->second : nullptr;
}

} // namespace konfigor
