#include "common/little_endian.h"
#include "sheet/clipboard.h"
#include "sheet/clipboard_block.h"
#include "sheet/clipboard_exchange.h"
#include "support/fake_clipboard.h"
#include "support/fake_clock.h"
#include "support/scripted_prompts.h"
#include "texts/text_table.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using testing_support::FakeClock;
using testing_support::ScriptedPrompts;
using namespace std::chrono_literals;

using testing_support::FakeClipboard;

// Every call in order, with the payloads the history would get.
class RecordingChanges final : public ClipboardChangeSink {
public:
    std::vector<std::string> calls;
    std::vector<std::size_t> cutSlots;
    std::vector<PastedRecord> pasted;

    void recordCut(std::span<const std::size_t> slots) override {
        calls.push_back("recordCut");
        cutSlots.assign(slots.begin(), slots.end());
    }
    void recordPaste(std::span<const PastedRecord> placed) override {
        calls.push_back("recordPaste");
        pasted.assign(placed.begin(), placed.end());
    }
    void remotesChanged() override { calls.push_back("remotesChanged"); }
    void writeSheetIfAutosave() override { calls.push_back("writeSheetIfAutosave"); }
};

const std::vector<std::string> kCutCalls = {"recordCut", "remotesChanged", "writeSheetIfAutosave"};
const std::vector<std::string> kPasteCalls = {"remotesChanged", "recordPaste",
                                              "writeSheetIfAutosave"};
const std::vector<std::string> kEmptyPasteCalls = {"recordPaste", "writeSheetIfAutosave"};

RemoteEntry remote(std::uint32_t serialWord, std::string_view description = "Pilot") {
    RemoteEntry entry;
    entry.description.assign(description);
    entry.serialWord = serialWord;
    entry.codeCounter = static_cast<std::uint16_t>(serialWord);
    entry.buttonMasks = {static_cast<std::uint16_t>(serialWord & 15), 0, 3, 8};
    entry.copyLock = false;
    return entry;
}

// As a copy in another sheet would have put it: marked.
RemoteEntry copied(std::uint32_t serialWord) {
    RemoteEntry entry = remote(serialWord, "ze schowka");
    entry.marked = true;
    return entry;
}

Prompt question(const TextTable& texts, Msg text, PromptButtons buttons, PromptAnswer answer) {
    return {.caption = "Konfigor USB",
            .text = texts.text(text),
            .buttons = buttons,
            .defaultAnswer = answer,
            .icon = PromptIcon::Question};
}

Prompt message(const TextTable& texts, Msg text) {
    return {.caption = "Konfigor USB",
            .text = texts.text(text),
            .buttons = PromptButtons::Ok,
            .defaultAnswer = PromptAnswer::Ok,
            .icon = PromptIcon::None};
}

class ClipboardExchangeTest : public ::testing::Test {
protected:
    void occupy(std::initializer_list<std::size_t> slots) {
        for (const std::size_t slot : slots)
            sheet.remotes[slot] = remote(static_cast<std::uint32_t>(1000 + slot));
    }
    void mark(std::initializer_list<std::size_t> slots) {
        for (const std::size_t slot : slots)
            sheet.remotes[slot].marked = true;
    }
    void putOnClipboard(const std::vector<RemoteEntry>& records) {
        clipboard.block = clipboard_block::encode(records);
    }
    std::vector<std::size_t> pastedSlots() const {
        std::vector<std::size_t> slots;
        for (const PastedRecord& placed : changes.pasted)
            slots.push_back(placed.slot);
        return slots;
    }
    // The slot as a paste leaves it: the record, unmarked.
    static RemoteEntry unmarked(RemoteEntry entry) {
        entry.marked = false;
        return entry;
    }

    SettingsSheet sheet;
    FakeClipboard clipboard;
    FakeClock clock;
    ScriptedPrompts prompts;
    TextTable texts;
    RecordingChanges changes;
    ClipboardExchange exchange{sheet, clipboard, clock, prompts, texts, changes};
};

TEST_F(ClipboardExchangeTest, CopyPutsMarkedSlotsInBothFormsAndChangesNothing) {
    occupy({2, 5, 9, 12});
    sheet.remotes[5].buttonMasks = {15, 0, 0, 1};
    mark({2, 5, 9});
    const SettingsSheet before = sheet;

    ASSERT_TRUE(exchange.copy(12));

    ASSERT_TRUE(clipboard.block);
    const std::vector<std::uint8_t>& bytes = *clipboard.block;
    ASSERT_EQ(bytes.size(), 197'124u);
    EXPECT_EQ(little_endian::get<std::uint32_t>(bytes), 3u);
    for (const auto& [offset, slot] : {std::pair{4u, 2u}, {284u, 5u}, {564u, 9u}})
        EXPECT_EQ(little_endian::get<std::uint32_t>(std::span(bytes).subspan(offset + 260)),
                  sheet.remotes[slot].serialWord);
    EXPECT_EQ(clipboard.text, "Pilot; 1002; 1002; NTNT NNNN TTNN NNNT \r\n"
                              "Pilot; 1005; 1005; TTTT NNNN NNNN TNNN \r\n"
                              "Pilot; 1009; 1009; TNNN NNNN TTNN NNNT \r\n");
    EXPECT_EQ(sheet.remotes, before.remotes);
    EXPECT_TRUE(changes.calls.empty());
    EXPECT_TRUE(prompts.asked().empty());
}

TEST_F(ClipboardExchangeTest, TextFormIsUtf8ForTheDesktop) {
    sheet.remotes[0] = remote(7, "\xA3\xF3\x64\x9F"); // "Łódź" in code page 1250

    ASSERT_TRUE(exchange.copy(0));

    EXPECT_EQ(clipboard.text, "Łódź; 7; 7; TTTN NNNN TTNN NNNT \r\n");
}

TEST_F(ClipboardExchangeTest, CopyOfAnEmptyCurrentRowPastesAsARecordThatLeavesTheSlotEmpty) {
    sheet.remotes[4].description.assign("opis bez pilota");

    ASSERT_TRUE(exchange.copy(4));
    EXPECT_TRUE(sheet.remotes[4].marked);
    EXPECT_EQ(little_endian::get<std::uint32_t>(*clipboard.block), 1u);

    const PasteResult result = exchange.paste(20);

    EXPECT_EQ(result.outcome, PasteOutcome::Pasted);
    EXPECT_TRUE(sheet.isEmpty(20));
    EXPECT_EQ(sheet.remotes[20].description.view(), "opis bez pilota");
    EXPECT_FALSE(sheet.remotes[4].marked);
    EXPECT_EQ(pastedSlots(), std::vector<std::size_t>{20});
    EXPECT_EQ(changes.calls, kPasteCalls);
}

TEST_F(ClipboardExchangeTest, BusyClipboardIsTriedThreeTimesHalfASecondApart) {
    struct Case {
        int busyAttempts;
        bool written;
        Clock::Milliseconds slept;
    };
    constexpr Case cases[] = {{0, true, 0ms}, {2, true, 1000ms}, {3, false, 1500ms}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.busyAttempts);
        FakeClock fresh;
        ClipboardExchange copying{sheet, clipboard, fresh, prompts, texts, changes};
        clipboard.block.reset();
        clipboard.busyAttempts = c.busyAttempts;

        EXPECT_EQ(copying.copy(0), c.written);
        EXPECT_EQ(clipboard.block.has_value(), c.written);
        EXPECT_EQ(fresh.slept(), c.slept);
    }
}

TEST_F(ClipboardExchangeTest, CutOnABusyClipboardChangesNothing) {
    occupy({3});
    clipboard.busyAttempts = 3;

    const CutResult result = exchange.cut(3);

    EXPECT_FALSE(result.done);
    EXPECT_FALSE(sheet.isEmpty(3));
    EXPECT_TRUE(changes.calls.empty());
}

TEST_F(ClipboardExchangeTest, CutThenPasteMovesTheRemotes) {
    occupy({3, 4, 8});
    mark({3, 4});
    const RemoteEntry third = sheet.remotes[3];
    const RemoteEntry fourth = sheet.remotes[4];

    const CutResult cut = exchange.cut(8);

    EXPECT_TRUE(cut.done);
    EXPECT_EQ(cut.clearedSlots, (std::vector<std::size_t>{3, 4}));
    EXPECT_EQ(changes.cutSlots, cut.clearedSlots);
    EXPECT_EQ(changes.calls, kCutCalls);
    EXPECT_EQ(sheet.remotes[3], RemoteEntry::cleared());
    EXPECT_EQ(sheet.remotes[4], RemoteEntry::cleared());
    EXPECT_FALSE(sheet.isEmpty(8));

    changes.calls.clear();
    const PasteResult paste = exchange.paste(100);

    EXPECT_EQ(paste.outcome, PasteOutcome::Pasted);
    EXPECT_EQ(sheet.remotes[100], unmarked(third));
    EXPECT_EQ(sheet.remotes[101], unmarked(fourth));
    // The history gets the records as they were on the clipboard, marks included.
    EXPECT_EQ(changes.pasted, (std::vector<PastedRecord>{{100, third}, {101, fourth}}));
    EXPECT_EQ(paste.placed, changes.pasted);
    EXPECT_EQ(changes.calls, kPasteCalls);
}

TEST_F(ClipboardExchangeTest, PasteNearTheEndNeedsRoomBelowTheCurrentSlot) {
    struct Case {
        std::string_view name;
        std::vector<std::size_t> occupied;
        PasteOutcome outcome;
        std::vector<std::size_t> placedAt;
        std::optional<Msg> told;
    };
    const Case cases[] = {
        {"700 to 703 empty", {}, PasteOutcome::Pasted, {700, 701, 702}, std::nullopt},
        {"only 703 empty from 700",
         {700, 701, 702},
         PasteOutcome::NoRoomBelowCurrentSlot,
         {},
         Msg::PasteNeedsHigherPosition},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sheet = SettingsSheet{};
        for (const std::size_t slot : c.occupied)
            sheet.remotes[slot] = remote(static_cast<std::uint32_t>(1000 + slot));
        putOnClipboard({copied(1), copied(2), copied(3)});
        ScriptedPrompts told;
        ClipboardExchange pasting{sheet, clipboard, clock, told, texts, changes};
        changes.pasted.clear();

        const PasteResult result = pasting.paste(700);

        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(pastedSlots(), c.placedAt);
        const std::vector<Prompt> expected =
            c.told ? std::vector{message(texts, *c.told)} : std::vector<Prompt>{};
        EXPECT_EQ(told.asked(), expected);
    }
}

TEST_F(ClipboardExchangeTest, PasteOfMoreRemotesThanEmptySlotsIsRefused) {
    for (std::size_t slot = 0; slot < kRemoteSlotCount - 2; ++slot)
        sheet.remotes[slot] = remote(static_cast<std::uint32_t>(1000 + slot));
    mark({0});
    putOnClipboard({copied(1), copied(2), copied(3)});

    const PasteResult result = exchange.paste(702);

    EXPECT_EQ(result.outcome, PasteOutcome::NoRoomInSheet);
    EXPECT_EQ(prompts.asked(), std::vector{message(texts, Msg::PasteTooManyRemotes)});
    EXPECT_EQ(sheet.countMarked(), 0u); // marks go before the room is checked
    EXPECT_TRUE(changes.calls.empty());
}

TEST_F(ClipboardExchangeTest, PasteOverAnOccupiedSlotAsksToSkipOrOverwrite) {
    struct Case {
        PromptAnswer answer;
        PasteOutcome outcome;
        std::vector<std::size_t> placedAt;
    };
    const Case cases[] = {
        {PromptAnswer::Yes, PasteOutcome::Pasted, {10, 12, 13}},
        {PromptAnswer::No, PasteOutcome::Pasted, {10, 11, 12}},
        {PromptAnswer::Cancel, PasteOutcome::OccupiedTargetsCancelled, {}},
    };
    const std::vector<RemoteEntry> records = {copied(1), copied(2), copied(3)};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.answer));
        sheet = SettingsSheet{};
        occupy({11, 40});
        mark({40});
        const SettingsSheet before = sheet;
        putOnClipboard(records);
        ScriptedPrompts answering;
        answering.answer(c.answer);
        ClipboardExchange pasting{sheet, clipboard, clock, answering, texts, changes};
        changes.pasted.clear();

        const PasteResult result = pasting.paste(10);

        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(answering.asked(),
                  std::vector{question(texts, Msg::PasteSkipOccupiedQuestion,
                                       PromptButtons::YesNoCancel, PromptAnswer::Cancel)});
        EXPECT_EQ(pastedSlots(), c.placedAt);
        for (std::size_t k = 0; k < c.placedAt.size(); ++k)
            EXPECT_EQ(sheet.remotes[c.placedAt[k]], unmarked(records[k]));
        EXPECT_EQ(sheet.countMarked(), 0u);
        if (c.answer == PromptAnswer::Cancel) {
            SettingsSheet expected = before;
            expected.clearMarks();
            EXPECT_EQ(sheet.remotes, expected.remotes);
        }
        if (c.answer == PromptAnswer::Yes) {
            EXPECT_EQ(sheet.remotes[11], before.remotes[11]);
        }
    }
}

TEST_F(ClipboardExchangeTest, DuplicatesAreDroppedOnlyWhenTheUserAgrees) {
    occupy({0, 1});
    mark({1});
    const std::uint32_t first = sheet.remotes[0].serialWord;
    const std::uint32_t second = sheet.remotes[1].serialWord;
    putOnClipboard({copied(first), copied(second), copied(first)});
    const Prompt asked =
        question(texts, Msg::PasteDuplicatesQuestion, PromptButtons::YesNo, PromptAnswer::No);

    prompts.answer(PromptAnswer::No);
    const SettingsSheet before = sheet;
    EXPECT_EQ(exchange.paste(5).outcome, PasteOutcome::DuplicatesDeclined);
    EXPECT_EQ(sheet.remotes, before.remotes); // marks included
    EXPECT_TRUE(changes.calls.empty());

    prompts.answer(PromptAnswer::Yes);
    const PasteResult result = exchange.paste(5);
    EXPECT_EQ(result.outcome, PasteOutcome::Pasted);
    EXPECT_TRUE(result.placed.empty());
    EXPECT_EQ(sheet.countMarked(), 0u);
    EXPECT_TRUE(sheet.isEmpty(5));
    EXPECT_EQ(changes.calls, kEmptyPasteCalls); // an entry with no records
    EXPECT_EQ(prompts.asked(), (std::vector{asked, asked}));
}

TEST_F(ClipboardExchangeTest, DroppedDuplicatesLeaveTheirPlaceToTheLastRecords) {
    struct Case {
        std::string_view name;
        std::vector<std::uint32_t> staged;
        std::vector<std::uint32_t> pasted;
    };
    constexpr std::uint32_t kDuplicate = 1050; // the remote in slot 50
    const Case cases[] = {
        {"two copies of one remote", {1, kDuplicate, 2, kDuplicate, 3}, {1, 3, 2}},
        {"a moved-in duplicate waits for the next pass", {kDuplicate, 7, kDuplicate}, {7}},
        {"the multi flag makes another remote",
         {kDuplicate | 0x4000'0000},
         {kDuplicate | 0x4000'0000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sheet = SettingsSheet{};
        occupy({50});
        std::vector<RemoteEntry> records;
        for (const std::uint32_t word : c.staged)
            records.push_back(copied(word));
        putOnClipboard(records);
        ScriptedPrompts answering;
        if (c.staged != c.pasted)
            answering.answer(PromptAnswer::Yes);
        ClipboardExchange pasting{sheet, clipboard, clock, answering, texts, changes};

        const PasteResult result = pasting.paste(0);

        std::vector<std::uint32_t> pasted;
        for (const PastedRecord& placed : result.placed)
            pasted.push_back(placed.record.serialWord);
        EXPECT_EQ(pasted, c.pasted);
        EXPECT_TRUE(answering.allAnswersUsed());
    }
}

TEST_F(ClipboardExchangeTest, PasteWithoutUsableClipboardDataPastesNothing) {
    struct Case {
        std::string_view name;
        int busyAttempts;
        std::optional<std::vector<std::uint8_t>> block;
    };
    std::vector<std::uint8_t> countTooBig = clipboard_block::encode(std::vector{copied(1)});
    little_endian::put<std::uint32_t>(countTooBig, 705);
    const Case cases[] = {
        {"busy", 3, clipboard_block::encode(std::vector{copied(1)})},
        {"no private block", 0, std::nullopt},
        {"refused block", 0, countTooBig},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sheet = SettingsSheet{};
        mark({7});
        clipboard.busyAttempts = c.busyAttempts;
        clipboard.block = c.block;
        changes.calls.clear();

        const PasteResult result = exchange.paste(0);

        EXPECT_EQ(result.outcome, PasteOutcome::Pasted);
        EXPECT_TRUE(result.placed.empty());
        EXPECT_EQ(sheet.remotes, SettingsSheet{}.remotes);
        EXPECT_EQ(changes.calls, kEmptyPasteCalls);
    }
}

TEST_F(ClipboardExchangeTest, CommandsAreEnabledByGridFocusAndPrivateData) {
    struct Case {
        bool focus;
        bool privateData;
        ClipboardCommands mainMenu;
        ClipboardCommands popupMenu;
    };
    constexpr Case cases[] = {
        {false, false, {false, false, false}, {true, true, false}},
        {false, true, {false, false, false}, {true, true, true}},
        {true, false, {true, true, false}, {true, true, false}},
        {true, true, {true, true, true}, {true, true, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "focus " << c.focus << ", data " << c.privateData);
        clipboard.block.reset();
        if (c.privateData)
            putOnClipboard({});
        EXPECT_EQ(exchange.mainMenuCommands(c.focus), c.mainMenu);
        EXPECT_EQ(exchange.popupMenuCommands(), c.popupMenu);
    }
}

} // namespace
} // namespace konfigor
