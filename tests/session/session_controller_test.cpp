#include "link/frame.h"
#include "sheet/serial_word.h"
#include "support/app_core_fixture.h"

#include <ostream>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

// A case is listed under its own name rather than as a dump of its bytes.
template <class Case>
std::string caseName(const testing::TestParamInfo<Case>& testCase) {
    return testCase.param.name;
}

using testing_support::AppCoreTest;

class SessionControllerTest : public AppCoreTest {
protected:
    SessionControllerTest() {
        configuration.setLoadReceiverAfterConnect(false);
        core.takeOptions();
        started();
    }

    std::string linkStatus() const { return sheetSurface.statusText(StatusPanel::Link); }
    std::string operationStatus() const { return sheetSurface.statusText(StatusPanel::Operation); }
};

TEST_F(SessionControllerTest, AutoConnectWithoutAnInterfaceSaysSoOnce) {
    ports.ports.clear();
    core.session().refreshPorts();
    core.session().autoConnectTimerFired();

    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(prompts.asked()[0].text, "Nie wykryto odbiornika radiowego ZOR");
    EXPECT_EQ(prompts.asked()[0].icon, PromptIcon::Error);
    EXPECT_EQ(connecting.connectRuns, 0);
    EXPECT_FALSE(sessionSurface.linkTimerRunning);
}

TEST_F(SessionControllerTest, AutoConnectIsOnlyDoneWhenTheOptionSaysSo) {
    configuration.setAutoConnect(false);
    core.takeOptions();
    core.session().autoConnectTimerFired();
    EXPECT_FALSE(link.isRunning());
    EXPECT_TRUE(prompts.asked().empty());
}

TEST_F(SessionControllerTest, ConnectShowsTheReceiverAndItsControls) {
    core.session().connectButtonClicked();
    EXPECT_TRUE(sessionSurface.connected);
    EXPECT_TRUE(sessionSurface.controls.enabled);
    EXPECT_TRUE(sessionSurface.linkTimerRunning);
    EXPECT_EQ(operationStatus(), "Pobieranie wersji urządzenia");
    EXPECT_EQ(core.state().connectedPort, kPort);

    core.session().tick();
    EXPECT_EQ(linkStatus(), "Połączony z ZOR") << "the version is not known yet";
    connectToReceiver();
    EXPECT_EQ(linkStatus(), "Połączony z ZOR (wersja odbiornika 2.7)");
}

TEST_F(SessionControllerTest, AFailedConnectLeavesTheControlsOffAndTheTimerOn) {
    port.failOpenWith(SerialError{SerialFault::NotFound, ENOENT});
    core.session().connectButtonClicked();

    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(prompts.asked()[0].text, "Nie udało się połączyć z wybranym portem COM.");
    EXPECT_FALSE(sessionSurface.controls.enabled);
    EXPECT_TRUE(sessionSurface.linkTimerRunning);
    core.session().tick();
    EXPECT_EQ(linkStatus(), "Brak połączenia z ZOR");
}

struct FirmwareCase {
    const char* name;
    ReceiverSimulator::Firmware firmware;
    const char* status;
    bool adminLockEnabled;
    const char* hint;

    // gtest lists a case by its name, not as a dump of its bytes.
    friend void PrintTo(const FirmwareCase& testCase, std::ostream* out) { *out << testCase.name; }
};

class FirmwareTest : public SessionControllerTest,
                     public testing::WithParamInterface<FirmwareCase> {};

TEST_P(FirmwareTest, VersionDecidesTheStatusAndTheAdministrativeLock) {
    simulator.setFirmware(GetParam().firmware);
    connectToReceiver();
    EXPECT_EQ(linkStatus(), GetParam().status);
    EXPECT_EQ(sessionSurface.adminLockEnabled, GetParam().adminLockEnabled);
    EXPECT_EQ(sessionSurface.adminLockHint, GetParam().hint);
}

constexpr const char* kAdminHint =
    "Włącza / wyłącza administracyjną blokadę zdalnego dopisywania pilotów";
constexpr const char* kFirmwareHint =
    "Funkcja obsługiwana wyłącznie przez odbiorniki z wersją firmware 2.7 i wyższą";

INSTANTIATE_TEST_SUITE_P(
    Versions, FirmwareTest,
    testing::Values(
        FirmwareCase{
            "Plain27", {2, 7, false}, "Połączony z ZOR (wersja odbiornika 2.7)", true, kAdminHint},
        FirmwareCase{"Plain26",
                     {2, 6, false},
                     "Połączony z ZOR (wersja odbiornika 2.6)",
                     false,
                     kFirmwareHint},
        FirmwareCase{"Multi27",
                     {2, 7, true},
                     "Połączony z ZOR (wersja odbiornika 2.7 MULTI)",
                     true,
                     kAdminHint},
        FirmwareCase{
            "Plain30", {3, 0, false}, "Połączony z ZOR (wersja odbiornika 3.0)", true, kAdminHint}),
    caseName<FirmwareCase>);

TEST_F(SessionControllerTest, AMultiReceiversChannelsReachTheSheet) {
    simulator.setFirmware({2, 7, true});
    // What the image holds from the last load or write reaches the sheet on the version report.
    link.image().update([](ReceiverMemory& memory) {
        memory.setChannelTime(2, 35);
        memory.setChannelMomentary(1, true);
    });
    connectToReceiver();

    EXPECT_EQ(core.sheet().channels[2].time, 35);
    EXPECT_TRUE(core.sheet().channels[1].transientMode);
    EXPECT_EQ(operationStatus(), "Pobieranie konfiguracji urządzenia");
}

TEST_F(SessionControllerTest, StalledWritesWarnOnceAndTheWarningGoesWhenWritesFlowAgain) {
    connectToReceiver();
    port.stallWrites();
    for (int tick = 0; tick < 8; ++tick) {
        link.sendPing();
        core.session().tick();
    }
    ASSERT_EQ(warning.shown.size(), 1u);
    EXPECT_EQ(warning.lastTitle, "Konfigor USB");
    EXPECT_TRUE(warning.visible);

    port.limitBytesPerWrite(std::numeric_limits<std::size_t>::max());
    link.sendPing();
    core.session().tick();
    EXPECT_TRUE(warning.visible) << "shown for less than 5 s";
    clock.advance(std::chrono::milliseconds(5001));
    link.sendPing();
    core.session().tick();
    EXPECT_FALSE(warning.visible);
    EXPECT_EQ(warning.shown.size(), 1u);
}

TEST_F(SessionControllerTest, AStoredRemotesPressUpdatesItsCounterOnlyWhenTheImageKnowsIt) {
    const std::uint32_t serial = 1234567;
    simulator.storeRemote(
        5, ReceiverImage::Record{.serialNumber = serial, .counter = 10, .buttonWord = 0x0020}
               .toRemoteRecord());
    connectToReceiver();
    core.sheet().remotes[5].serialWord = serial;
    core.sheet().remotes[5].buttonMasks = {0, 2, 0, 0};
    std::vector<RemotePress> presses;
    core.session().remotePressed = [&](const RemotePress& press) { presses.push_back(press); };

    // The image is still empty: the press is reported, but the sheet is not touched.
    simulator.pressRemote(serial, 2, 99, {});
    cyclesAndTick();
    ASSERT_EQ(presses.size(), 1u);
    EXPECT_EQ(presses[0].slot, 5u);
    EXPECT_EQ(presses[0].button, 2);
    EXPECT_EQ(presses[0].channelMask, 0);
    EXPECT_EQ(core.sheet().remotes[5].codeCounter, 0);
    EXPECT_EQ(operationStatus(), "Odebrano sygnał pilota z pozycji numer 6");

    link.image().writeRecord(5, ReceiverImage::Record{.serialNumber = serial});
    simulator.pressRemote(serial, 2, 100, {});
    cyclesAndTick();
    ASSERT_EQ(presses.size(), 2u);
    EXPECT_EQ(presses[1].channelMask, 2);
    EXPECT_EQ(core.sheet().remotes[5].codeCounter, 100);
}

// The main window's wiring: the receiver's reports and the virtual remote's presses are logged.
TEST_F(SessionControllerTest, StoredAndVirtualPressesReachTheEventLog) {
    const std::uint32_t serial = 1234567;
    simulator.storeRemote(
        5, ReceiverImage::Record{.serialNumber = serial, .counter = 10, .buttonWord = 0x0020}
               .toRemoteRecord());
    started();
    connectToReceiver();
    link.image().writeRecord(5, ReceiverImage::Record{.serialNumber = serial});
    core.sheet().remotes[5].serialWord = serial;
    core.sheet().remotes[5].buttonMasks = {0, 0b0101, 0, 0};
    core.sheet().remotes[5].description.assignUtf8("Brama główna");

    simulator.pressRemote(serial, 2, 11, {});
    cyclesAndTick();
    core.virtualRemote().pressVirtualButton(3);
    core.virtualRemote().releaseVirtualButton();

    const EventsLog& log = core.eventsLog();
    ASSERT_EQ(log.count(), 2u);
    EXPECT_EQ(log.item(0).position, 6);
    EXPECT_EQ(log.item(0).description.toUtf8(), "Brama główna");
    EXPECT_EQ(log.item(0).button, 2);
    EXPECT_EQ(log.item(0).channelMask, 0b0101);
    EXPECT_EQ(log.item(0).serialNumber, serial);
    EXPECT_EQ(log.item(1).position, EventRecord::kVirtualRemote);
    EXPECT_EQ(log.item(1).channelMask, 0b0100);
    EXPECT_EQ(core.eventLog().sessionEventCount(), 2u);
    EXPECT_EQ(eventLogSurface.rowCount, 3);
    // Both lines went to the per-user log beside the configuration.
    const TailScan onDisk = readNewestEvents(path("log.txt"), 10);
    ASSERT_EQ(onDisk.events.size(), 2u);
    EXPECT_EQ(onDisk.events[1].serialNumber, 0u);
}

TEST_F(SessionControllerTest, AReportOfASlotOrButtonTheReceiverCannotHaveIsIgnored) {
    connectToReceiver();
    std::vector<RemotePress> presses;
    core.session().remotePressed = [&](const RemotePress& press) { presses.push_back(press); };
    const std::string before = operationStatus();
    const auto storedReport = [](std::uint16_t address, std::uint8_t buttonMask) {
        const std::vector<std::uint8_t> payload{0x39,
                                                0x30,
                                                0,
                                                0,
                                                7,
                                                0,
                                                buttonMask,
                                                static_cast<std::uint8_t>(address & 0xFF),
                                                static_cast<std::uint8_t>(address >> 8)};
        return Frame::encode('T', payload);
    };
    const auto firstSlot = ReceiverMemory::slotAddress(0);
    port.feed(storedReport(static_cast<std::uint16_t>(firstSlot + 800), 1).bytes());
    port.feed(storedReport(firstSlot, 0x10).bytes()); // no button of the four
    cyclesAndTick();
    EXPECT_TRUE(presses.empty());
    EXPECT_EQ(operationStatus(), before);
}

TEST_F(SessionControllerTest, AnUnknownRemoteIsNamedBySerial) {
    connectToReceiver();
    simulator.pressRemote(0x4000'0000u | 777, 1, 1, {});
    cyclesAndTick();
    EXPECT_EQ(operationStatus(), "Odebarno sygnał nieznanego pilota - numer seryjny (M) 777");
}

TEST_F(SessionControllerTest, ClosingWhileConnectedAndIdleEndsTheConnectionFirst) {
    connectToReceiver();
    takeSentLetters();

    EXPECT_FALSE(core.session().closeQuery());
    EXPECT_EQ(takeSentLetters(), "K");
    EXPECT_EQ(sessionSurface.closeRequests, 0);

    core.session().tick();
    EXPECT_EQ(sessionSurface.closeRequests, 1);
    EXPECT_TRUE(core.session().closeQuery());
    EXPECT_TRUE(prompts.asked().empty()) << "nothing to ask about";
}

TEST_F(SessionControllerTest, ClosingWithUnsavedChangesAsksAndCancelKeepsTheWindow) {
    connectToReceiver();
    core.saveState().setSavedToDisk(false);
    prompts.answer(PromptAnswer::Cancel);
    EXPECT_FALSE(core.session().closeQuery());
    EXPECT_EQ(prompts.asked().size(), 1u);
    EXPECT_FALSE(core.saveState().closeAfterWrite());
}

TEST_F(SessionControllerTest, ClosingWithoutAConnectionClosesAtOnce) {
    EXPECT_TRUE(core.session().closeQuery());
}

TEST_F(SessionControllerTest, DisconnectAsksThenEmptiesTheSheetAndHistory) {
    connectToReceiver();
    core.sheet().remotes[0].serialWord = 42;
    core.historyCommands().recordChange(HistoryKind::SheetErased, SheetErase{});

    prompts.answer(PromptAnswer::No);
    core.session().connectButtonClicked();
    EXPECT_TRUE(link.isRunning()) << "answered No";

    prompts.answer(PromptAnswer::Yes);
    core.session().connectButtonClicked();
    EXPECT_FALSE(link.isRunning());
    EXPECT_EQ(linkStatus(), "Rozłączono");
    EXPECT_FALSE(sessionSurface.connected);
    EXPECT_FALSE(sessionSurface.linkTimerRunning);
    EXPECT_TRUE(core.state().connectedPort.empty());
    EXPECT_TRUE(core.sheet().isEmpty(0));
    EXPECT_EQ(core.history().count(), 1u);
    EXPECT_TRUE(core.saveState().savedToDisk());
    EXPECT_TRUE(core.saveState().savedToReceiver());
    EXPECT_NE(sentLetters.find('K'), std::string::npos);
}

// The connected interface comes back after a quick re-plug; what the session keeps of it.
struct ReplugCase {
    const char* name;
    InterfacePort listedAfter;
    bool followed;

    // gtest lists a case by its name, not as a dump of its bytes.
    friend void PrintTo(const ReplugCase& testCase, std::ostream* out) { *out << testCase.name; }
};

class SessionReplugTest : public AppCoreTest, public testing::WithParamInterface<ReplugCase> {
protected:
    SessionReplugTest() {
        configuration.setLoadReceiverAfterConnect(false);
        core.takeOptions();
        started();
    }
};

TEST_P(SessionReplugTest, ConnectedPortFollowsItsIdentity) {
    connectToReceiver();
    ports.ports = {GetParam().listedAfter};

    core.session().devicesChanged();

    const std::string expectedPath = GetParam().followed ? GetParam().listedAfter.path : kPort;
    EXPECT_EQ(core.state().connectedPort, expectedPath);
    EXPECT_EQ(link.portPath(), expectedPath);
    EXPECT_EQ(sessionSurface.portList.selected.has_value(), GetParam().followed);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SessionReplugTest,
    testing::Values(
        ReplugCase{"SameInterfaceUnderANewNode",
                   {.path = "/dev/ttyACM1", .displayName = "ttyACM1", .identity = "usb-1"},
                   true},
        ReplugCase{"AnotherInterfaceUnderTheOldNode",
                   {.path = "/dev/ttyACM0", .displayName = "ttyACM0", .identity = "usb-2"},
                   false}),
    caseName<ReplugCase>);

} // namespace
} // namespace konfigor

namespace konfigor {
namespace {

// A line that doubles every reply keeps a single request out of step until the link gives it
// up: the operation the window waits for ends with the message instead of blocking the editors
// for good, and a write leaves the receiver counted as behind.
TEST_F(SessionControllerTest, ASingleRequestGivenUpEndsItsOperationLoudly) {
    const struct {
        const char* name;
        bool write;
    } cases[] = {{"record write", true}, {"record read", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        connectToReceiver();
        core.sheet().remotes[3].serialWord = 555;
        core.saveState().setSavedToReceiver(true);
        prompts = {};
        simulator.setDuplicateProbability(1.0);
        if (c.write)
            core.records().writeRemoteRecord(3);
        else
            core.records().readRemoteRecord(3);
        ASSERT_NE(core.state().pendingOperation, PendingOperation::None);
        for (int round = 0; round < 100 && core.session().isOperationPending(); ++round)
            cyclesAndTick();
        EXPECT_FALSE(core.session().isOperationPending());
        ASSERT_EQ(prompts.asked().size(), 1u);
        EXPECT_EQ(prompts.asked()[0].text, "Brak komunikacji z urządzeniem ZOR.");
        EXPECT_EQ(operationStatus(), "Brak komunikacji z urządzeniem ZOR.");
        EXPECT_EQ(core.saveState().savedToReceiver(), !c.write);
        simulator.setDuplicateProbability(0.0);
    }
}

} // namespace
} // namespace konfigor
