#include "kvr/command_support.h"

#include "common/atomic_file.h"
#include "common/system_error.h"
#include "files/settings_file.h"
#include "texts/text_table.h"

#include <algorithm>

namespace konfigor::kvr {
namespace {

std::string onOneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

} // namespace

std::string forTerminal(std::string_view message) {
    std::string text;
    for (std::size_t i = 0; i < message.size(); ++i) {
        if (message.substr(i, 2) != "\r\n")
            text += message[i];
    }
    return text;
}

std::optional<LoadedSheet> loadSheet(const std::filesystem::path& path, const TextTable& texts,
                                     std::ostream& err) {
    LoadedSheet loaded;
    SettingsSheet& sheet = loaded.sheet;
    bool newerVersion = false;
    const SettingsFile file(texts);
    if (const auto failure = file.read(path, {sheet.remotes, sheet.channels, sheet.identifier,
                                              newerVersion, &loaded.version})) {
        err << "kvr: " << forTerminal(*failure) << '\n';
        return std::nullopt;
    }
    if (newerVersion)
        err << "kvr: warning: " << onOneLine(texts.text(Msg::FileVersionNewer)) << '\n';
    return loaded;
}

bool writeBytesToFile(std::span<const std::uint8_t> bytes, const std::filesystem::path& path,
                      std::ostream& err) {
    if (const auto failure = writeFileAtomically(path, bytes)) {
        err << "kvr: cannot write " << path.string() << ": "
            << systemErrorText(failure->errorNumber) << '\n';
        return false;
    }
    return true;
}

bool saveSheet(const SettingsSheet& sheet, const std::filesystem::path& path, std::ostream& err) {
    const TextTable texts;
    const auto failure =
        SettingsFile(texts).write(path, sheet.remotes, sheet.channels, sheet.identifier);
    if (failure)
        err << "kvr: " << forTerminal(*failure) << '\n';
    return !failure;
}

} // namespace konfigor::kvr
