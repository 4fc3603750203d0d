#include "session/pin_rules.h"
#include "support/app_core_fixture.h"

#include <algorithm>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using testing_support::AppCoreTest;

// A receiver whose PIN is 00123 (required or not), and the program connected to it, the PIN
// dialog answered from the fixture's script.
class ReceiverSecurityTest : public AppCoreTest {
protected:
    void protectReceiver(bool required) {
        ASSERT_TRUE(simulator.memory().setPin("00123"));
        simulator.memory().setPinRequired(required);
    }

    void connect(bool loadAfterConnect = false) {
        configuration.setLoadReceiverAfterConnect(loadAfterConnect);
        core.takeOptions();
        started();
        connectToReceiver();
        takeSentLetters();
    }

    bool pinRequiredInImage() {
        return link.image().read([](const ReceiverMemory& m) { return m.isPinRequired(); });
    }
    std::string pinInImage() {
        return link.image().read([](const ReceiverMemory& m) { return m.pinText(); });
    }
    std::pair<bool, bool> locksInImage() {
        return link.image().read([](const ReceiverMemory& m) {
            return std::pair{m.isGlobalCopyLock(), m.isAdminCopyLock()};
        });
    }
    static std::size_t count(const std::string& letters, char letter) {
        return static_cast<std::size_t>(std::ranges::count(letters, letter));
    }
    void setAutosave(bool on) {
        core.setAutosave(on);
        core.takeOptions();
    }
};

TEST_F(ReceiverSecurityTest, AReceiverWithoutAPinIsUsableWithoutADialog) {
    protectReceiver(false);
    connect();
    EXPECT_EQ(pinDialogs.pinAsks, 0);
    EXPECT_TRUE(core.session().isPinAccepted());
    EXPECT_TRUE(sessionSurface.controls.enabled);
}

TEST_F(ReceiverSecurityTest, ItsExactDigitsOpenTheReceiverAndTheLoadFollows) {
    protectReceiver(true);
    pinDialogs.pins = {"00123"};
    connect(true);
    EXPECT_EQ(pinDialogs.pinAsks, 1);
    EXPECT_TRUE(link.isRunning());
    EXPECT_TRUE(sessionSurface.controls.enabled);
    EXPECT_TRUE(sessionSurface.controls.pinPressed);
    EXPECT_EQ(core.state().enteredPin, "00123");
    EXPECT_EQ(transferDialog.captions, std::vector<std::string>{"Ładowanie nastaw z EEPROM"})
        << "the load connecting promised";
    EXPECT_TRUE(prompts.asked().empty());
}

TEST_F(ReceiverSecurityTest, AWrongOrCancelledPinEndsTheConnection) {
    const struct {
        const char* name;
        std::optional<std::string> entered;
    } cases[] = {
        {"the last digit wrong", "00124"},
        {"cancelled", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        protectReceiver(true);
        pinDialogs.pins = {c.entered};
        pinDialogs.pinAsks = 0;
        prompts = {};
        connect(true);
        EXPECT_EQ(pinDialogs.pinAsks, 1);
        EXPECT_FALSE(link.isRunning());
        EXPECT_FALSE(sessionSurface.controls.enabled);
        EXPECT_TRUE(transferDialog.captions.empty()) << "nothing loaded";
        ASSERT_EQ(prompts.asked().size(), 1u);
        EXPECT_EQ(prompts.asked()[0].text, "Wprowadzony PIN jest nieprawidłowy");
        EXPECT_EQ(prompts.asked()[0].icon, PromptIcon::Error);
    }
}

TEST_F(ReceiverSecurityTest, OnePinDialogAtATimeHoweverManyReportsArrive) {
    protectReceiver(true);
    pinDialogs.pins = {"00123"};
    // Configuration reports keep coming while the dialog is open.
    pinDialogs.whileOpen = [this] {
        link.requestPage(0);
        cyclesAndTick();
        cyclesAndTick();
    };
    connect();
    EXPECT_EQ(pinDialogs.pinAsks, 1);
    EXPECT_TRUE(core.session().isPinAccepted());
}

TEST_F(ReceiverSecurityTest, ChangingThePinRecordsItAndWritesTheConfigurationPage) {
    protectReceiver(false);
    connect();
    setAutosave(true);
    pinDialogs.newPins = {PinDialogs::NewPin{.required = true, .pin = "54321"}};
    core.security().changePin();
    EXPECT_EQ(pinDialogs.requiredShown, std::vector<bool>{false});
    EXPECT_TRUE(pinRequiredInImage());
    EXPECT_EQ(pinInImage(), "54321");
    EXPECT_EQ(core.state().enteredPin, "54321");
    EXPECT_TRUE(sessionSurface.controls.pinPressed);
    EXPECT_EQ(core.history().kindAt(core.history().position()), HistoryKind::PinChange);
    EXPECT_EQ(count(takeSentLetters(), 'S'), 1u) << "the configuration page alone";
    cyclesAndTick();
    EXPECT_TRUE(simulator.memory().isPinRequired());
    EXPECT_EQ(simulator.memory().pinText(), "54321");
}

TEST_F(ReceiverSecurityTest, SwitchingTheRequirementOffKeepsTheDigits) {
    protectReceiver(true);
    pinDialogs.pins = {"00123"};
    connect();
    pinDialogs.newPins = {PinDialogs::NewPin{.required = false, .pin = ""}};
    core.security().changePin();
    EXPECT_EQ(pinDialogs.requiredShown, std::vector<bool>{true});
    EXPECT_FALSE(pinRequiredInImage());
    EXPECT_EQ(pinInImage(), "00123");
    EXPECT_FALSE(sessionSurface.controls.pinPressed);
    EXPECT_TRUE(core.session().isPinAccepted());
    EXPECT_FALSE(core.saveState().savedToReceiver()) << "without automatic writing";
}

TEST_F(ReceiverSecurityTest, ACancelledPinChangeChangesNothing) {
    protectReceiver(false);
    connect();
    const std::size_t entries = core.history().count();
    core.security().changePin();
    EXPECT_FALSE(pinRequiredInImage());
    EXPECT_EQ(core.history().count(), entries);
    EXPECT_TRUE(core.saveState().savedToReceiver());
}

TEST(NewPinRulesTest, RefusalsAreThoseOfTheDialog) {
    const struct {
        bool required;
        const char* pin;
        const char* repeated;
        NewPinRefusal expected;
    } cases[] = {
        {true, "54321", "54321", NewPinRefusal::None},
        {true, "5432", "5432", NewPinRefusal::TooShort},
        {true, "", "", NewPinRefusal::TooShort},
        {true, "00000", "00000", NewPinRefusal::AllZeros},
        {true, "54321", "54320", NewPinRefusal::Differs},
        {false, "", "", NewPinRefusal::None},
        {false, "12", "99", NewPinRefusal::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(checkNewPin(c.required, c.pin, c.repeated), c.expected)
            << c.required << " '" << c.pin << "' '" << c.repeated << "'";
    EXPECT_TRUE(isFullPin("00123"));
    EXPECT_FALSE(isFullPin("0012a"));
    EXPECT_FALSE(isFullPin("001234"));
}

TEST_F(ReceiverSecurityTest, TurningOneLockOnTurnsTheOtherOff) {
    connect();
    setAutosave(true);
    prompts.answer(PromptAnswer::Yes);
    core.security().globalCopyLockClicked(true);
    cyclesAndTick();
    EXPECT_EQ(locksInImage(), std::pair(true, false));
    EXPECT_EQ(prompts.asked().back().text,
              "Czy włączyć globalną blokadę zdalnego kopiowania pilotów?");
    prompts.answer(PromptAnswer::Yes);
    core.security().adminCopyLockClicked(true);
    cyclesAndTick();
    EXPECT_EQ(locksInImage(), std::pair(false, true));
    EXPECT_TRUE(simulator.memory().isAdminCopyLock());
    EXPECT_FALSE(simulator.memory().isGlobalCopyLock());
    EXPECT_EQ(core.history().kindAt(core.history().position()), HistoryKind::AdminCopyLock);
    EXPECT_EQ(count(takeSentLetters(), 'S'), 2u);
    prompts.answer(PromptAnswer::Yes);
    core.security().adminCopyLockClicked(false);
    EXPECT_EQ(locksInImage(), std::pair(false, false));
    EXPECT_EQ(prompts.asked().back().text,
              "Czy wyłączyć administracyjną blokadę zdalnego kopiowania pilotów?");
}

TEST_F(ReceiverSecurityTest, ANoPutsTheToggleBackAndChangesNothing) {
    connect();
    const std::size_t entries = core.history().count();
    const int shown = sheetSurface.copyLockRefreshes;
    prompts.answer(PromptAnswer::No);
    core.security().globalCopyLockClicked(true);
    EXPECT_EQ(locksInImage(), std::pair(false, false));
    EXPECT_EQ(core.history().count(), entries);
    EXPECT_EQ(sheetSurface.copyLockRefreshes, shown + 1) << "the toggle shows the image again";
    EXPECT_TRUE(takeSentLetters().empty());
}

TEST_F(ReceiverSecurityTest, TheAdministrativeLockNeedsFirmware27AndAnAcceptedPin) {
    const struct {
        const char* name;
        ReceiverSimulator::Firmware firmware;
        bool enabled;
    } cases[] = {
        {"2.6", {2, 6}, false},
        {"2.7", {2, 7}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        simulator.setFirmware(c.firmware);
        connect();
        EXPECT_EQ(sessionSurface.adminLockEnabled, c.enabled);
        prompts.answer(PromptAnswer::Yes);
        core.session().connectButtonClicked();
        prompts = {};
    }
}

TEST_F(ReceiverSecurityTest, AResetIsAskedAndSent) {
    connect();
    prompts.answer(PromptAnswer::No);
    core.security().resetReceiver();
    EXPECT_TRUE(takeSentLetters().empty());
    prompts.answer(PromptAnswer::Yes);
    core.security().resetReceiver();
    EXPECT_EQ(count(takeSentLetters(), 'R'), 1u);
    EXPECT_EQ(prompts.asked().back().text, "Czy na pewno wykonać reset urządzenia?");
}

TEST_F(ReceiverSecurityTest, EraseWithAutomaticWritingEmptiesTheReceiverButKeepsItsProtection) {
    protectReceiver(true);
    pinDialogs.pins = {"00123"};
    simulator.storeRemote(
        5, ReceiverImage::Record{.serialNumber = 777, .buttonWord = 1}.toRemoteRecord());
    connect(true);
    for (int round = 0; round < 200 && core.state().bulkReadActive; ++round)
        cyclesAndTick();
    ASSERT_EQ(core.sheet().remotes[5].serialWord, 777u);
    setAutosave(true);
    takeSentLetters();
    prompts.answer(PromptAnswer::Yes).answer(PromptAnswer::No);
    core.editor().erase(true);
    EXPECT_EQ(count(takeSentLetters(), 'S'), 221u);
    for (std::size_t slot = 0; slot < kRemoteSlotCount; ++slot)
        ASSERT_EQ(simulator.storedRemote(slot).serialField, RemoteRecord::kCopyLockBit) << slot;
    EXPECT_TRUE(simulator.memory().isPinRequired());
    EXPECT_EQ(simulator.memory().pinText(), "00123");
}

} // namespace
} // namespace konfigor
