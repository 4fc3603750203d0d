#include "support/app_core_fixture.h"

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using testing_support::AppCoreTest;

// Remotes in the software receiver, so that a load has something to bring.
class BulkTransferTest : public AppCoreTest {
protected:
    BulkTransferTest() {
        for (std::size_t slot = 0; slot < 12; ++slot)
            simulator.storeRemote(
                slot * 7,
                ReceiverImage::Record{.serialNumber = static_cast<std::uint32_t>(1000 + slot),
                                      .counter = 3,
                                      .buttonWord = 0x0421}
                    .toRemoteRecord());
        simulator.memory().setChannelTime(0, 20);
    }

    void connectWithoutLoading() {
        configuration.setLoadReceiverAfterConnect(false);
        core.takeOptions();
        started();
        connectToReceiver();
        takeSentLetters();
    }

    std::uint32_t serialIn(std::size_t slot) const {
        return simulator.storedRemote(slot).serialField & 0x0FFF'FFFFu;
    }
    static std::size_t count(const std::string& letters, char letter) {
        return static_cast<std::size_t>(std::ranges::count(letters, letter));
    }
};

TEST_F(BulkTransferTest, ConnectingLoadsTheReceiverIntoTheSheetWithOneHistoryEntry) {
    started();
    const std::size_t entriesBefore = core.history().count();
    connectToReceiver();

    EXPECT_EQ(transferDialog.captions, std::vector<std::string>{"Ładowanie nastaw z EEPROM"});
    EXPECT_EQ(core.sheet().remotes[7].serialWord, 1001u);
    EXPECT_EQ(core.sheet().remotes[7].buttonMasks, (std::array<std::uint16_t, 4>{1, 2, 4, 0}));
    EXPECT_EQ(core.sheet().channels[0].time, 20);
    EXPECT_FALSE(core.saveState().savedToDisk());
    EXPECT_TRUE(core.saveState().savedToReceiver());
    EXPECT_EQ(core.history().count(), entriesBefore + 1);
    EXPECT_EQ(core.history().kindAt(core.history().position()), HistoryKind::ReceiverLoad);
    EXPECT_EQ(core.state().pendingOperation, PendingOperation::None);
    EXPECT_FALSE(core.state().searchAfterLoad);
    EXPECT_TRUE(sessionSurface.controls.enabled);
}

TEST_F(BulkTransferTest, LoadWithUnsavedChangesAnsweredCancelSendsNothing) {
    connectWithoutLoading();
    core.saveState().setSavedToDisk(false);
    prompts.answer(PromptAnswer::Cancel);

    core.bulk().loadFromReceiver();
    cycles(20);
    EXPECT_EQ(takeSentLetters().find('E'), std::string::npos);
    EXPECT_TRUE(transferDialog.captions.empty());
    EXPECT_EQ(prompts.asked().at(0).text,
              "Nie zapisano zmian na dysk. Czy chcesz zapisać zmiany na dysk?");
}

TEST_F(BulkTransferTest, ALoadCancelledHalfWayLeavesTheSheetAndHistoryAlone) {
    connectWithoutLoading();
    // Answers take their time on the line, so that the load can be caught half-way.
    simulator.setBaudRate(ReceiverSimulator::kBaudRate);
    const SettingsSheet before = core.sheet();
    const std::size_t entries = core.history().count();
    transferDialog.whileOpen = [this] {
        cyclesAndTick();
        if (link.transferPercent() >= 100 * 100 / 221) {
            prompts.answer(PromptAnswer::Yes);
            core.bulk().cancelRequested();
        }
    };

    core.bulk().loadFromReceiver();
    ASSERT_FALSE(prompts.asked().empty()) << transferDialog.lastPercent;
    EXPECT_EQ(prompts.asked().back().text, "Na pewno chcesz przerwać bieżącą operację");
    EXPECT_EQ(prompts.asked().back().caption, "Konfigor");
    EXPECT_TRUE(core.sheet().remotes == before.remotes);
    EXPECT_EQ(core.history().count(), entries);
    EXPECT_FALSE(core.state().bulkReadActive);
    EXPECT_EQ(core.state().pendingOperation, PendingOperation::None);
}

// A version report in the middle of a load (after a reconnection) must not turn the load into
// a configuration fetch: a later cancel would otherwise record a load that never happened.
TEST_F(BulkTransferTest, AVersionReportDuringALoadLeavesItTheOperation) {
    connectWithoutLoading();
    simulator.setBaudRate(ReceiverSimulator::kBaudRate);
    bool reported = false;
    transferDialog.whileOpen = [&] {
        cyclesAndTick();
        if (!reported && link.transferPercent() >= 10) {
            reported = true;
            port.feed(Frame::encode('V', std::array<std::uint8_t, 1>{0x27}).bytes());
            cyclesAndTick();
            EXPECT_EQ(core.state().pendingOperation, PendingOperation::BulkLoad);
            prompts.answer(PromptAnswer::Yes);
            core.bulk().cancelRequested();
        }
    };
    const std::size_t entries = core.history().count();
    core.bulk().loadFromReceiver();
    EXPECT_TRUE(reported);
    EXPECT_EQ(core.history().count(), entries);
    EXPECT_EQ(core.state().pendingOperation, PendingOperation::None);
}

// A line that doubles every reply keeps the transfer out of step until the link gives up: the
// window says so and takes nothing of what was read.
TEST_F(BulkTransferTest, ALoadThatKeepsGoingOutOfStepChangesNothing) {
    connectWithoutLoading();
    simulator.setDuplicateProbability(1.0);
    const SettingsSheet before = core.sheet();
    const std::size_t entries = core.history().count();
    transferDialog.whileOpen = [this] { cyclesAndTick(); };

    core.bulk().loadFromReceiver();
    ASSERT_TRUE(link.hasTransferFailed());
    ASSERT_FALSE(prompts.asked().empty());
    EXPECT_EQ(prompts.asked().back().text, "Brak komunikacji z urządzeniem ZOR.");
    EXPECT_TRUE(core.sheet().remotes == before.remotes);
    EXPECT_EQ(core.history().count(), entries);
    EXPECT_FALSE(core.state().bulkReadActive);
    EXPECT_EQ(core.state().pendingOperation, PendingOperation::None);
}

TEST_F(BulkTransferTest, CancelAnsweredNoGoesOn) {
    connectWithoutLoading();
    bool asked = false;
    transferDialog.whileOpen = [&] {
        cyclesAndTick();
        if (!asked) {
            asked = true;
            prompts.answer(PromptAnswer::No);
            core.bulk().cancelRequested();
        }
    };
    core.bulk().loadFromReceiver();
    EXPECT_EQ(core.sheet().remotes[7].serialWord, 1001u);
}

TEST_F(BulkTransferTest, WritingOneChangedRemoteStillSendsEveryPageChannelsFirst) {
    connectWithoutLoading();
    core.sheet().remotes[3].serialWord = 555;
    core.sheet().channels[1].time = 77;
    std::vector<std::uint8_t> firstPage;
    port.setWriteHandler([&](std::span<const std::uint8_t> bytes) {
        sentLetters += lettersIn(bytes);
        if (bytes.size() > 2 && bytes[2] == 'S' && simulator.requestCount('S') == 0)
            firstPage.assign(bytes.begin(), bytes.end());
        const auto now = std::chrono::duration_cast<ReceiverSimulator::Time>(clock.now());
        simulator.receive(bytes, now);
        port.feed(simulator.takeOutput(now));
    });

    EXPECT_TRUE(core.session().writeSheetToReceiver());
    EXPECT_EQ(count(takeSentLetters(), 'S'), 221u);
    EXPECT_EQ(transferDialog.captions.back(), "Zapisywanie nastaw do EEPROM");
    EXPECT_EQ(serialIn(3), 555u);
    EXPECT_TRUE(core.saveState().savedToReceiver());

    // The first page is the configuration page, with the sheet's channel settings.
    ASSERT_GE(firstPage.size(), 4u + ReceiverMemory::kPageSize);
    EXPECT_EQ(firstPage[3 + ReceiverMemory::kPageSize], ReceiverMemory::pageOnWire(0));
    ReceiverMemory sent;
    sent.setPage(0, std::span(firstPage).subspan(3).first<ReceiverMemory::kPageSize>());
    EXPECT_EQ(sent.channelTime(1), 77);
    EXPECT_EQ(sent.channelTime(0), core.sheet().channels[0].time);
}

TEST_F(BulkTransferTest, SwapWithAutosaveSendsTheSecondRecordAfterTheFirstIsTaken) {
    connectWithoutLoading();
    core.sheet().remotes[0].serialWord = 11;
    core.sheet().remotes[1].serialWord = 22;
    core.sheet().remotes[0].marked = true;

    core.editor().swap(2);
    EXPECT_EQ(takeSentLetters(), "C");
    EXPECT_EQ(core.state().secondRecordSlot, 1u);
    cyclesAndTick();
    EXPECT_EQ(takeSentLetters(), "C");
    EXPECT_FALSE(core.state().secondRecordSlot);
    cyclesAndTick();
    EXPECT_EQ(core.state().pendingOperation, PendingOperation::None);
    EXPECT_EQ(serialIn(0), 22u);
    EXPECT_EQ(serialIn(1), 11u);
    EXPECT_EQ(sheetSurface.statusText(StatusPanel::Operation),
              "Zapisano pilot w pamięci urzadzenia");
}

TEST_F(BulkTransferTest, WithAutosaveDeletingOneRemoteSendsItsSlotAndSeveralTheWholeSheet) {
    connectWithoutLoading();
    core.sheet().remotes[4].serialWord = 9;
    prompts.answer(PromptAnswer::Yes);
    core.editor().deleteRemotes(5);
    EXPECT_EQ(takeSentLetters(), "C");
    EXPECT_EQ(serialIn(4), 0u);

    cyclesAndTick();
    core.sheet().remotes[6].serialWord = 61;
    core.sheet().remotes[7].serialWord = 71;
    core.sheet().remotes[6].marked = true;
    core.sheet().remotes[7].marked = true;
    prompts.answer(PromptAnswer::Yes);
    core.editor().deleteRemotes(1);
    EXPECT_EQ(count(takeSentLetters(), 'S'), 221u);
}

TEST_F(BulkTransferTest, WithAutosaveOffAnEditSendsNothing) {
    configuration.setAutosave(false);
    connectWithoutLoading();
    core.sheet().remotes[4].serialWord = 9;
    core.sheet().remotes[4].marked = true;
    prompts.answer(PromptAnswer::Yes);
    core.editor().deleteRemotes(5);
    cyclesAndTick();
    EXPECT_EQ(takeSentLetters(), "");
}

TEST_F(BulkTransferTest, WritingOneRecordNamesItsPositionWhateverRowIsSelected) {
    connectWithoutLoading();
    EXPECT_TRUE(core.session().writeRemoteRecord(9));
    EXPECT_EQ(sheetSurface.statusText(StatusPanel::Operation),
              "Wysyłam żądanie zapisu pilota 10 z 704");
    EXPECT_EQ(core.state().pendingOperation, PendingOperation::RecordWrite);
}

TEST_F(BulkTransferTest, ReadingOneRecordTakesItIntoTheSlotWithAHistoryEntry) {
    connectWithoutLoading();
    core.sheet().remotes[14].description.assign("brama");
    core.records().readRemoteRecord(14);
    EXPECT_EQ(sheetSurface.statusText(StatusPanel::Operation),
              "Wysyłam żądanie odczytu pilota 15 z 704");
    cyclesAndTick();
    EXPECT_EQ(core.sheet().remotes[14].serialWord, 1002u);
    EXPECT_EQ(core.sheet().remotes[14].description.view(), "brama");
    EXPECT_EQ(core.history().kindAt(core.history().position()), HistoryKind::RemoteRead);
    EXPECT_EQ(sheetSurface.statusText(StatusPanel::Operation), "Odczytano rekord pilota");
}

TEST_F(BulkTransferTest, RequestsRefusedWithoutAConnectionSayThereIsNoCommunication) {
    started();
    EXPECT_FALSE(core.session().writeRemoteRecord(0));
    EXPECT_FALSE(core.session().writeSheetToReceiver());
    core.bulk().loadFromReceiver();
    ASSERT_EQ(prompts.asked().size(), 3u);
    for (const Prompt& prompt : prompts.asked())
        EXPECT_EQ(prompt.text, "Brak komunikacji z urządzeniem ZOR.");
    EXPECT_TRUE(transferDialog.captions.empty());
}

} // namespace
} // namespace konfigor
