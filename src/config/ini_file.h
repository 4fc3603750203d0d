#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace konfigor {

// The stored words of the configuration's yes/no values. They are data, not user-interface
// texts, and are never translated.
inline constexpr std::string_view kYesValue = "Tak";
inline constexpr std::string_view kNoValue = "Nie";

// The in-memory copy of an INI file: sections and keys in file order, names compared without
// regard to ASCII case (as the system's INI functions do), values UTF-8 text. All reads and
// writes during a run go to this copy; the disk sees it only through save().
class IniFile {
public:
    using KeyValue = std::pair<std::string, std::string>;

    struct Section {
        std::string name;
        std::vector<KeyValue> values;
        bool operator==(const Section&) const = default;
    };

    // Reads INI text with CR LF or LF line ends. Blank lines, lines starting with ';', lines
    // before the first section and lines without '=' are skipped. Names and values are trimmed
    // of spaces and tabs; an empty key name is a real key. A repeated section continues the
    // first one of that name, and a repeated key keeps its first value, as reads would see it.
    static IniFile parse(std::string_view text);

    // The file's text with CR LF line ends.
    std::string serialize() const;

    // A missing or unreadable file gives an empty copy: every read then gives its default.
    static IniFile load(const std::filesystem::path& path);

    // Creates the missing folders on the way (a failure there does not stop the attempt) and
    // replaces the file as a whole; a failed write leaves the previous file as it was.
    bool save(const std::filesystem::path& path) const;

    std::string readString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    // Text that is not a whole decimal integer in int's range gives the default.
    int readInteger(std::string_view section, std::string_view key, int defaultValue) const;
    // The same rule, with nothing for an absent key or a value that is not such a number.
    std::optional<int> findInteger(std::string_view section, std::string_view key) const;
    // A present key is true exactly when its value is "Tak", in that case; absent gives the
    // default.
    bool ReadYesNo(std::string_view section, std::string_view key, bool defaultValue) const;

    // A value is kept on its line: text from the first CR or LF on is dropped, so no value can
    // turn into further lines of the file. The same holds for section and key names.
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void writeInteger(std::string_view section, std::string_view key, int value);
    void WriteYesNo(std::string_view section, std::string_view key, bool value);

    bool hasKey(std::string_view section, std::string_view key) const;
    // The section's keys and values in file order; empty when the section is absent.
    std::vector<KeyValue> sectionValues(std::string_view section) const;
    void eraseSection(std::string_view section);

    const std::vector<Section>& sections() const { return sections_; }
    bool operator==(const IniFile&) const = default;

private:
    const Section* findSection(std::string_view name) const;
    Section& sectionForWriting(std::string_view name);
    const std::string* findValue(std::string_view section, std::string_view key) const;

    std::vector<Section> sections_;
};

} // namespace konfigor
