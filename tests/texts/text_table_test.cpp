#include "common/utf8.h"
#include "texts/message_format.h"
#include "texts/text_lines.h"
#include "texts/text_table.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

const LanguageLine& lineAt(std::size_t line) {
    return languageLines()[line - 1];
}

TEST(TextLines, CoverEveryLanguageFileLineInOrder) {
    ASSERT_EQ(languageLines().size(), kLanguageLineCount);
    ASSERT_EQ(messageLines().size(), kMessageLineCount);
    ASSERT_EQ(controlLines().size(), kControlLineCount);
    EXPECT_EQ(kLanguageLineCount, 476u);
    EXPECT_EQ(kMessageLineCount, 229u);
    EXPECT_EQ(kControlLineCount, 247u);

    std::size_t messages = 0;
    std::size_t controls = 0;
    for (std::size_t i = 0; i < languageLines().size(); ++i) {
        const LanguageLine& line = languageLines()[i];
        ASSERT_EQ(line.line, i + 1);
        if (line.kind == LineKind::Message) {
            ASSERT_EQ(line.index, messages++);
            EXPECT_EQ(messageLines()[line.index].line, line.line);
        } else {
            ASSERT_EQ(line.index, controls++);
            EXPECT_EQ(controlLines()[line.index].line, line.line);
        }
    }
    EXPECT_EQ(messages, kMessageLineCount);
    EXPECT_EQ(controls, kControlLineCount);
}

TEST(TextLines, EachMessageIsFoundByItsId) {
    for (const MessageLine& message : messageLines()) {
        EXPECT_EQ(static_cast<std::uint16_t>(message.id), message.line);
        EXPECT_EQ(&messageLine(message.id), &message) << message.name;
    }
    EXPECT_EQ(messageLine(Msg::RemoteSignalFromPosition).line, 50);
}

TEST(TextLines, MessagesHaveTheirTextAndCapacity) {
    struct Case {
        std::size_t line;
        std::string_view builtIn;
        std::uint16_t capacity;
    };
    const Case cases[] = {
        {1, "Łączenie z urządzeniem ZOR", 47},
        {45, "Wybierz port i połącz się", 42},
        {50, "Odebrano sygnał pilota z pozycji numer %i", 58},
        {110,
         "Data\tCzas\tNr porządkowy\tOpis pilota\tKanał 1\tKanał 2\tKanał 3\tKanał 4\tNumer "
         "seryjny pilota\r\n",
         117},
        {173, "\r\nNazwa pliku: ", 34},
        {176, "\r\nNazwa pliku: ", 34},
        {401, "Funkcja obsługiwana wyłącznie przez odbiorniki z wersją firmware 2.7 i wyższą", 96},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        ASSERT_EQ(lineAt(c.line).kind, LineKind::Message);
        const MessageLine& message = messageLines()[lineAt(c.line).index];
        EXPECT_EQ(message.builtIn, c.builtIn);
        EXPECT_EQ(message.capacity, c.capacity);
    }
}

TEST(TextLines, LongestMessageAsksForItsThirteenArguments) {
    const MessageLine& message = messageLines()[lineAt(99).index];
    EXPECT_EQ(message.capacity, 376);
    EXPECT_TRUE(message.builtIn.starts_with("Czy chcesz zastąpić nastawy pilota"));
    using enum ArgKind;
    const std::vector<ArgKind> expected{SignedInt, SignedInt, String,    String, String,
                                        String,    String,    SignedInt, String, String,
                                        String,    String,    String};
    EXPECT_EQ(placeholderKinds(message.builtIn), expected);
}

TEST(TextLines, QuotesInsideAMessageAreRealQuotes) {
    const MessageLine& message = messageLines()[lineAt(123).index];
    EXPECT_NE(message.builtIn.find("Jeśli wybierzesz \"Nie\" istniejące"), std::string_view::npos);
    EXPECT_EQ(message.builtIn.find('\\'), std::string_view::npos);
}

TEST(TextLines, ControlsNameTheirWindowControlAndProperty) {
    struct Case {
        std::size_t line;
        std::string_view windowClass;
        std::string_view control;
        ControlProperty property;
        int item;
        std::string_view builtIn;
    };
    const Case cases[] = {
        {177, "TMainForm", "ReadLabel", ControlProperty::Caption, 0, "Odczyt"},
        {222, "TMainForm", "SaveDialog", ControlProperty::Filter, 0,
         "Pliki nastaw (*.kvr)|*.kvr|Wszystkie pliki (*.*)|*.*"},
        {235, "TMainForm", "MainMenuFile", ControlProperty::Caption, 0, "Plik"},
        {248, "TChoiceForm", "", ControlProperty::Caption, 0, ""},
        {250, "TChoiceForm", "RadioGroupChoice", ControlProperty::Item, 1, ""},
        {342, "TOptionsForm", "RadioGroupLogSound", ControlProperty::Item, 1, "Brak dźwięku"},
        {383, "TVirtualRemoteConfigForm", "CheckBoxP4C4", ControlProperty::Caption, 0, "Kanał 4"},
        {409, "TMainForm", "ToolButtonCut", ControlProperty::Hint, 0,
         "Wycina zaznaczony element do pamięci"},
        {476, "TMainForm", "ButtonScrollEvents", ControlProperty::Caption, 0,
         "Przewijaj zdarzenia"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        ASSERT_EQ(lineAt(c.line).kind, LineKind::Control);
        const ControlLine& control = controlLines()[lineAt(c.line).index];
        EXPECT_EQ(control.windowClass, c.windowClass);
        EXPECT_EQ(control.control, c.control);
        EXPECT_EQ(control.property, c.property);
        EXPECT_EQ(control.item, c.item);
        EXPECT_EQ(control.builtIn, c.builtIn);
    }
}

FormatArg sampleOf(ArgKind kind) {
    switch (kind) {
    case ArgKind::SignedInt:
        return -7;
    case ArgKind::UnsignedInt:
        return 7u;
    case ArgKind::Char:
        return '7';
    case ArgKind::String:
        return "tekst";
    case ArgKind::Floating:
        return 0.5;
    }
    return 0;
}

TEST(TextLines, EveryBuiltInMessageParsesFitsAndFormats) {
    for (const MessageLine& message : messageLines()) {
        SCOPED_TRACE(message.name);
        EXPECT_LE(utf8::count(message.builtIn), message.capacity);
        const std::optional<std::vector<ArgKind>> kinds = placeholderKinds(message.builtIn);
        ASSERT_TRUE(kinds.has_value());

        std::vector<FormatArg> args;
        for (const ArgKind kind : *kinds) {
            args.push_back(sampleOf(kind));
        }
        const std::optional<std::string> formatted = formatMessage(message.builtIn, args);
        ASSERT_TRUE(formatted.has_value());
        if (kinds->empty()) {
            EXPECT_EQ(*formatted, message.builtIn);
        }
    }
}

TEST(TextTable, StartsWithTheBuiltInTexts) {
    const TextTable table;
    for (const MessageLine& message : messageLines()) {
        EXPECT_EQ(table.text(message.id), message.builtIn);
        EXPECT_EQ(table.builtIn(message.id), message.builtIn);
    }
    for (std::size_t i = 0; i < controlLines().size(); ++i) {
        EXPECT_EQ(table.controlText(i), controlLines()[i].builtIn);
    }
}

TEST(TextTable, ReplaceChecksPlaceholdersAndCapacity) {
    struct Case {
        const char* what;
        Msg id;
        std::string candidate;
        bool accepted;
        std::string_view textAfter;
    };
    const std::string undoBuiltIn(messageLine(Msg::UndoCaption).builtIn);
    const std::string monostableBuiltIn(messageLine(Msg::ChannelModeMonostable).builtIn);
    // Capacity 37: 33 letters and " [%.1lf]" would be cut right after "%.".
    const std::string splitPlaceholder = std::string(33, 'M') + " [%.1lf]";
    const Case cases[] = {
        {"translation", Msg::RemoteSignalFromPosition, "Remote signal from position %i", true,
         "Remote signal from position %i"},
        {"other widths", Msg::ReplaceChannelQuestion, "Channel %i?\nSheet: %.2f\nFile: %.2f", true,
         "Channel %i?\nSheet: %.2f\nFile: %.2f"},
        {"swapped kinds", Msg::RemoteSignalFromPosition, "Remote %s", false,
         "Odebrano sygnał pilota z pozycji numer %i"},
        {"missing placeholder", Msg::PreviewPageStatus, "Page %i", false, "Strona %i z %i"},
        {"cut in characters", Msg::UndoCaption, "Zażółć gęślą jaźń", true, "Zażółć gęślą"},
        {"cut splits a placeholder", Msg::ChannelModeMonostable, splitPlaceholder, false,
         monostableBuiltIn},
        {"cut drops a placeholder", Msg::PreviewPageStatus, "Seite Nummer %i von %i", false,
         "Strona %i z %i"},
        {"empty", Msg::UndoCaption, "", true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TextTable table;
        EXPECT_EQ(table.replace(c.id, c.candidate), c.accepted);
        EXPECT_EQ(table.text(c.id), c.textAfter);
        EXPECT_LE(utf8::count(table.text(c.id)), messageLine(c.id).capacity);
    }
}

TEST(TextTable, RefusedTranslationKeepsTheEarlierOne) {
    TextTable table;
    ASSERT_TRUE(table.replace(Msg::RemoteSignalFromPosition, "Signal from %i"));
    EXPECT_FALSE(table.replace(Msg::RemoteSignalFromPosition, "Signal from %s"));
    EXPECT_EQ(table.text(Msg::RemoteSignalFromPosition), "Signal from %i");
    EXPECT_EQ(table.builtIn(Msg::RemoteSignalFromPosition),
              "Odebrano sygnał pilota z pozycji numer %i");
}

TEST(TextTable, FormatsTheCurrentTextAndNeverFails) {
    TextTable table;
    EXPECT_EQ(table.format(Msg::RemoteSignalFromPosition, 12),
              "Odebrano sygnał pilota z pozycji numer 12");
    EXPECT_EQ(table.format(Msg::PreviewPageStatus, {1, 3}), "Strona 1 z 3");

    ASSERT_TRUE(table.replace(Msg::RemoteSignalFromPosition, "Signal from %03i"));
    EXPECT_EQ(table.format(Msg::RemoteSignalFromPosition, 7), "Signal from 007");
    // Arguments that fit neither text give the text as it stands rather than garbage.
    EXPECT_EQ(table.format(Msg::RemoteSignalFromPosition, "seven"), "Signal from %03i");
    EXPECT_EQ(table.format(Msg::RemoteSignalFromPosition), "Signal from %03i");
}

TEST(TextTable, ResetBringsBackEveryBuiltInText) {
    TextTable table;
    ASSERT_TRUE(table.replace(Msg::ConnectCaption, "Connect"));
    table.setControlText(0, "Read");
    table.setControlText(1, "");
    EXPECT_EQ(table.text(Msg::ConnectCaption), "Connect");
    EXPECT_EQ(table.controlText(0), "Read");
    EXPECT_EQ(table.controlText(1), "");

    table.resetToBuiltIn();
    EXPECT_EQ(table.text(Msg::ConnectCaption), "Połącz");
    EXPECT_EQ(table.controlText(0), "Odczyt");
    EXPECT_EQ(table.controlText(1), "Zapis");
}

} // namespace
} // namespace konfigor
