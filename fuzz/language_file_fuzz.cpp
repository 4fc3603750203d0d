// Language files come from translators and downloads: any bytes must load without a crash, and
// whatever they change, every message keeps placeholders its code can fill.
#include "texts/language_file.h"
#include "texts/text_table.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    konfigor::TextTable texts;
    const konfigor::LanguageApplied applied = konfigor::applyLanguageTexts(texts, bytes);
    if (applied.linesRead > konfigor::kLanguageLineCount) {
        std::fprintf(stderr, "language_file_fuzz: more lines read than the program has\n");
        std::abort();
    }
    // Formats with the arguments the program passes; a refused or broken text must never
    // reach the formatter unchecked.
    (void)texts.format(konfigor::Msg::RemoteSignalFromPosition, 12);
    (void)texts.format(konfigor::Msg::UnknownRemoteSignal, "(M) 77");
    (void)texts.format(konfigor::Msg::ChannelModeMonostable, 2.5);
    (void)texts.format(konfigor::Keyed::ScanProgressLabel, 3UL, 7UL);
    (void)texts.format(konfigor::Keyed::ScanSkippedFolder, "/dane", "Permission denied");
    return 0;
}
