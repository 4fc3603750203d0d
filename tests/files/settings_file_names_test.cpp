#include "files/settings_file_names.h"

#include <gtest/gtest.h>

namespace konfigor {
namespace {

TEST(SettingsFileNames, OfferedNameIsTheLocalDateAndTime) {
    std::tm time{};
    time.tm_year = 2018 - 1900;
    time.tm_mon = 8;
    time.tm_mday = 17;
    time.tm_hour = 8;
    time.tm_min = 5;
    time.tm_sec = 3;
    EXPECT_EQ(defaultSettingsFileName(time), "2018-09-17_08_05_03.kvr");
}

TEST(SettingsFileNames, SettingsFilterAddsTheExtensionUnlessPresentInAnyCase) {
    const struct {
        const char* typed;
        bool settingsFilter;
        const char* saved;
    } cases[] = {
        {"/dom/abc", true, "/dom/abc.kvr"},
        {"/dom/abc.KVR", true, "/dom/abc.KVR"},
        {"/dom/abc.kvr", true, "/dom/abc.kvr"},
        {"/dom/abc.txt", true, "/dom/abc.txt.kvr"},
        {"/dom/abc", false, "/dom/abc"},
        {"/dom/kvr", true, "/dom/kvr.kvr"},
        {"/dom.kvr/abc", true, "/dom.kvr/abc.kvr"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(withSettingsFileExtension(c.typed, c.settingsFilter).string(), c.saved)
            << c.typed;
}

} // namespace
} // namespace konfigor
