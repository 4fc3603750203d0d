#include "support/temp_folder.h"
#include "texts/language_catalog.h"
#include "texts/language_file.h"
#include "texts/language_menu.h"
#include "texts/text_table.h"

#include <fstream>
#include <map>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using testing_support::TempFolderTest;

constexpr std::size_t kFirstControlLine = 177; // TMainForm.ReadLabel caption
constexpr std::size_t kReadLabel = 0;          // its index among the control texts

// A file of the first `count` lines: the given texts where there are any, the built-in ones
// elsewhere, each behind a label as translators write them.
std::string languageFile(const std::map<std::size_t, std::string>& texts,
                         std::size_t count = kLanguageLineCount) {
    std::string file;
    for (std::size_t line = 1; line <= count; ++line) {
        const LanguageLine& entry = languageLines()[line - 1];
        std::string text = entry.kind == LineKind::Message
                               ? std::string(messageLines()[entry.index].builtIn)
                               : std::string(controlLines()[entry.index].builtIn);
        if (const auto given = texts.find(line); given != texts.end())
            text = given->second;
        // The built-in texts hold real line breaks; a file writes them as "\n".
        std::string written;
        for (const char c : text)
            written += c == '\n' ? std::string("\\n") : std::string(1, c);
        file += std::to_string(line) + " label|" + written + "\r\n";
    }
    return file;
}

TEST(LanguageFileTest, LinesAreTheTextAfterTheFirstBar) {
    using Line = LanguageFileLine;
    const struct {
        const char* file;
        std::vector<Line> lines;
    } cases[] = {
        {"a|one\nb|two", {{"a", "one"}, {"b", "two"}}}, // a last line without its LF counts
        {"a|x|y\r\n", {{"a", "x|y"}}},                  // further bars belong to the text
        {"no label\n", {{"", "no label"}}},             // no bar: the whole line
        {"only|\n\n", {{"only", ""}, {"", ""}}},        // empty texts
        {"a|one\x1A"
         "b|lost\n",
         {{"a", "one"}}},                   // Ctrl+Z ends the file
        {"a|kana\xB3\n", {{"a", "kanał"}}}, // not UTF-8: code page 1250
        {"a|kanał\n", {{"a", "kanał"}}},    // UTF-8 as it is
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(languageFileLines(c.file), c.lines);
    }
}

TEST(LanguageFileTest, BackslashSequencesOnMessageLines) {
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {R"(one\ntwo)", "one\ntwo"}, {R"(a\tb\rc)", "a\tb\rc"},
        {R"(lost\x)", "lost"},       {R"(\\n)", "\n"}, // the pair's backslash meets the n
        {R"(\\\\)", "\\"},           {R"(end\)", "end\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(withEscapesProcessed(c.text), c.expected);
    }
}

TEST(LanguageFileTest, MessagesTakeEscapesAndControlsStayLiteral) {
    TextTable texts;
    const LanguageApplied applied =
        applyLanguageTexts(texts, languageFile({{1, R"(Connecting\nto the receiver)"},
                                                {3, "Channel %i edit"},
                                                {kFirstControlLine, R"(Re\nad)"}}));
    EXPECT_EQ(applied.linesRead, kLanguageLineCount);
    EXPECT_TRUE(applied.refusedLines.empty());
    EXPECT_EQ(texts.text(Msg::ConnectingToReceiver), "Connecting\nto the receiver");
    EXPECT_EQ(texts.format(Msg::ChannelEditorHeading, 2), "Channel 2 edit");
    EXPECT_EQ(texts.controlText(kReadLabel), R"(Re\nad)");
}

TEST(LanguageFileTest, AMismatchedPlaceholderOrAnOverlongTextIsHandledSafely) {
    TextTable texts;
    const LanguageApplied applied =
        applyLanguageTexts(texts, languageFile({{3, "Channel %s"}, {1, std::string(60, 'x')}}));
    EXPECT_EQ(applied.refusedLines, std::vector<std::size_t>{3});
    EXPECT_EQ(texts.text(Msg::ChannelEditorHeading), "Edycja kanału %i");
    EXPECT_EQ(texts.text(Msg::ConnectingToReceiver), std::string(47, 'x')) << "cut at 47";
}

TEST(LanguageFileTest, AShortFileKeepsLaterMessagesAndEmptiesLaterControls) {
    TextTable texts;
    const LanguageApplied applied =
        applyLanguageTexts(texts, languageFile({{1, "Connecting"}}, kFirstControlLine - 1));
    EXPECT_EQ(applied.linesRead, kFirstControlLine - 1);
    EXPECT_EQ(texts.text(Msg::ConnectingToReceiver), "Connecting");
    EXPECT_EQ(texts.text(Msg::DeviceBusy), texts.builtIn(Msg::DeviceBusy));
    EXPECT_EQ(texts.controlText(kReadLabel), "");
}

// Texts outside the fixed order come after it, by key; they are checked like messages.
TEST(LanguageFileTest, KeyedLinesAfterTheFixedOnesReplaceTheirTexts) {
    TextTable texts;
    const std::string file = languageFile({}) +
                             "TOptionsForm.GroupBoxAutomation|Automation\r\n"
                             " ChannelTimeTooLong |Too\\nlong\r\n"
                             "ScanProgressLabel|Checked %u of %u\r\n"
                             "ScanSkippedFolder|Folder %s\r\n" // one placeholder short
                             "Unknown.Key|ignored\r\n"
                             "ScanSkippedText\r\n" // no bar: no key
                             "TMainForm.MainMenuUpdate|" +
                             std::string(300, 'u') + "\r\n";
    const LanguageApplied applied = applyLanguageTexts(texts, file);
    EXPECT_EQ(applied.linesRead, kLanguageLineCount);
    EXPECT_EQ(applied.keyedTexts, 4u);
    EXPECT_EQ(applied.refusedLines, std::vector<std::size_t>{kLanguageLineCount + 4});
    EXPECT_EQ(texts.text(Keyed::OptionsAutomationGroup), "Automation");
    EXPECT_EQ(texts.text(Keyed::ChannelTimeTooLong), "Too\nlong");
    EXPECT_EQ(texts.format(Keyed::ScanProgressLabel, 3u, 7u), "Checked 3 of 7");
    EXPECT_EQ(texts.text(Keyed::ScanSkippedFolder), keyedLine(Keyed::ScanSkippedFolder).builtIn);
    EXPECT_EQ(texts.text(Keyed::ScanSkippedText), keyedLine(Keyed::ScanSkippedText).builtIn);
    EXPECT_EQ(texts.text(Keyed::MenuCheckUpdates), std::string(kKeyedTextCapacity, 'u'));

    // Going back to the built-in language forgets them.
    texts.resetToBuiltIn();
    EXPECT_EQ(texts.text(Keyed::OptionsAutomationGroup), "Automatyzacja");
}

TEST(LanguageFileTest, HostileFilesNeverBreakTheTable) {
    const std::string hugeLine(1 << 20, 'A');
    std::string manyLines;
    for (int i = 0; i < 100'000; ++i)
        manyLines += "x|%n%s%999999999d\\\n";
    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary += static_cast<char>((i * 7919) & 0xFF);
    for (const std::string& file : {hugeLine, manyLines, binary}) {
        TextTable texts;
        applyLanguageTexts(texts, file);
        // Whatever a message became, it formats without touching its arguments wrongly.
        EXPECT_FALSE(texts.format(Msg::RemoteSignalFromPosition, 3).empty());
        EXPECT_LE(texts.text(Msg::ConnectingToReceiver).size(), 47u * 4);
    }
}

// The English file shipped with the program translates every line and keeps every placeholder.
TEST(LanguageFileTest, TheShippedEnglishFileLoadsWhole) {
    TextTable texts;
    const auto applied = applyLanguageFile(texts, std::filesystem::path(KONFIGOR_SOURCE_DIR) /
                                                      "lang" / "English.lng");
    ASSERT_TRUE(applied.has_value());
    EXPECT_EQ(applied->linesRead, kLanguageLineCount);
    EXPECT_EQ(applied->keyedTexts, static_cast<std::size_t>(Keyed::Count));
    EXPECT_TRUE(applied->refusedLines.empty());
    EXPECT_EQ(texts.format(Msg::RemoteSignalFromPosition, 3).find("odebrano"), std::string::npos);
    EXPECT_NE(texts.text(Msg::ConnectingToReceiver), texts.builtIn(Msg::ConnectingToReceiver));
}

class LanguageCatalogTest : public TempFolderTest {
protected:
    void touch(const std::filesystem::path& file) const {
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file) << "x|y\n";
    }
};

TEST_F(LanguageCatalogTest, NamesAreCutAtTheFirstDotAndFoundInFolderOrder) {
    touch(path("bin/English.second.lng"));
    touch(path("bin/Deutsch.lng"));
    touch(path("share/konfigor/English.lng"));
    touch(path("share/konfigor/Polski.lng"));
    touch(path("share/konfigor/notes.txt"));
    std::filesystem::create_directories(path("share/konfigor/Folder.lng"));
    const LanguageCatalog catalog(programDataFolders(path("bin")));

    EXPECT_EQ(catalog.names(), (std::vector<std::string>{"Deutsch", "English", "Polski"}));
    // "English" from English.second.lng means English.lng, here in the data folder.
    EXPECT_EQ(catalog.fileFor("English"), path("share/konfigor/English.lng"));
    EXPECT_EQ(catalog.fileFor("Deutsch"), path("bin/Deutsch.lng"));
    EXPECT_EQ(catalog.fileFor("Suomi"), path("bin/Suomi.lng"));
}

TEST_F(LanguageCatalogTest, NoFilesNoNamesAndAMissingFileChangesNothing) {
    const LanguageCatalog catalog(programDataFolders(path("bin")));
    EXPECT_TRUE(catalog.names().empty());
    TextTable texts;
    EXPECT_FALSE(applyLanguageFile(texts, catalog.fileFor("English")).has_value());
    EXPECT_EQ(texts.controlText(kReadLabel), controlLines()[kReadLabel].builtIn);
}

TEST_F(LanguageCatalogTest, TheMenuSwitchesLanguagesAndAlwaysOffersTheBuiltInOne) {
    std::filesystem::create_directories(path("bin"));
    std::ofstream(path("bin/English.lng")) << languageFile({{1, "Connecting"}});
    touch(path("bin/English.second.lng"));
    std::ofstream(path("bin/Gone.lng")) << languageFile({{1, "Gone"}});
    LanguageMenu menu(LanguageCatalog(programDataFolders(path("bin"))), "Polski");
    ASSERT_TRUE(menu.isEnabled());
    EXPECT_EQ(menu.items(), (std::vector<std::string>{"Polski", "English", "Gone"}));
    EXPECT_EQ(menu.checkedItem(), 0u);

    TextTable texts;
    EXPECT_TRUE(menu.choose(1, texts));
    EXPECT_EQ(texts.text(Msg::ConnectingToReceiver), "Connecting");
    EXPECT_EQ(menu.checkedItem(), 1u);

    // A file deleted since the start: checked, but the texts stay English.
    std::filesystem::remove(path("bin/Gone.lng"));
    EXPECT_FALSE(menu.choose(2, texts));
    EXPECT_EQ(menu.checkedItem(), 2u);
    EXPECT_EQ(texts.text(Msg::ConnectingToReceiver), "Connecting");

    EXPECT_TRUE(menu.choose(0, texts));
    EXPECT_EQ(texts.text(Msg::ConnectingToReceiver), "Łączenie z urządzeniem ZOR");
    EXPECT_EQ(menu.current(), "Polski");
}

TEST_F(LanguageCatalogTest, WithoutLanguageFilesTheMenuIsDisabled) {
    const LanguageMenu menu(LanguageCatalog(programDataFolders(path("bin"))), "English");
    EXPECT_FALSE(menu.isEnabled());
    EXPECT_TRUE(menu.items().empty());
    TextTable texts;
    EXPECT_FALSE(menu.applyAtStart(texts));
    EXPECT_EQ(texts.text(Msg::ConnectingToReceiver), "Łączenie z urządzeniem ZOR");
}

} // namespace
} // namespace konfigor
