#include "files/settings_file_names.h"

#include "common/fixed_text.h"
#include "common/utf8.h"
#include "texts/message_format.h"
#include "texts/untranslated_texts.h"

#include <algorithm>

namespace konfigor {
namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&](char x, char y) { return lower(x) == lower(y); });
}

} // namespace

std::string defaultSettingsFileName(const std::tm& localTime) {
    const auto field = [](int value) { return static_cast<unsigned>(value); };
    return formatMessage(untranslated(Untranslated::SaveNamePattern),
                         {field(localTime.tm_year + 1900), field(localTime.tm_mon + 1),
                          field(localTime.tm_mday), field(localTime.tm_hour),
                          field(localTime.tm_min), field(localTime.tm_sec)})
        .value_or(std::string());
}

std::filesystem::path withSettingsFileExtension(const std::filesystem::path& path,
                                                bool settingsFilterChosen) {
    const std::string_view extension = untranslated(Untranslated::SettingsFileExtension);
    if (!settingsFilterChosen || equalsIgnoringCase(path.extension().string(), extension))
        return path;
    std::filesystem::path result = path;
    result += extension;
    return result;
}

std::string_view fileNameFieldText(std::string_view path) {
    if (path.size() <= FileNameText::kMaxLength)
        return path;
    std::size_t length = FileNameText::kMaxLength;
    while (length > 0 && utf8::isContinuationByte(path[length]))
        --length;
    return path.substr(0, length);
}

} // namespace konfigor
