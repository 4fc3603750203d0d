#include "config/help_links.h"

#include <set>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using Path = std::filesystem::path;

TEST(HelpLinksTest, AManualIsTakenFromTheFirstFolderThatHasIt) {
    const std::vector<Path> folders{"/opt/konfigor/bin", "/opt/konfigor/share/konfigor"};
    struct Case {
        const char* name;
        Manual manual;
        const char* language;
        std::set<Path> present;
        Path expected;
        bool found;
    };
    const Case cases[] = {
        {"per language, program folder",
         kSoftwareManual,
         "English",
         {"/opt/konfigor/bin/manual/software_English.pdf",
          "/opt/konfigor/share/konfigor/manual/software_English.pdf"},
         "/opt/konfigor/bin/manual/software_English.pdf",
         true},
        {"per language, installed data folder",
         kReceiverManual,
         "Polski",
         {"/opt/konfigor/share/konfigor/manual/hardware_Polski.pdf"},
         "/opt/konfigor/share/konfigor/manual/hardware_Polski.pdf",
         true},
        {"shared whatever the language",
         kInterfaceManual,
         "English",
         {"/opt/konfigor/share/konfigor/manual/interface.pdf",
          "/opt/konfigor/bin/manual/interface_English.pdf"},
         "/opt/konfigor/share/konfigor/manual/interface.pdf",
         true},
        {"another language's file does not serve",
         kLumoManual,
         "English",
         {"/opt/konfigor/bin/manual/lumo434_Polski.pdf"},
         "/opt/konfigor/bin/manual/lumo434_English.pdf",
         false},
        {"missing everywhere names the program folder",
         kCloneToolManual,
         "Polski",
         {},
         "/opt/konfigor/bin/manual/clonetool.pdf",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ManualLocation location =
            locateManual(folders, c.manual, c.language,
                         [&](const Path& file) { return c.present.contains(file); });
        EXPECT_EQ(location.path, c.expected);
        EXPECT_EQ(location.found, c.found);
    }
}

TEST(HelpLinksTest, TheUpdatePageCarriesTheFourVersionNumbersAndATrailingSpace) {
    EXPECT_EQ(updatePageAddress("www.example.pl", {0, 1, 0, 0}),
              "https://www.example.pl/update?lirka=0.1.0.0 ");
    EXPECT_EQ(updatePageAddress("up.example.com", {2, 10, 65535, 7}),
              "https://up.example.com/update?lirka=2.10.65535.7 ");
}

} // namespace
} // namespace konfigor
