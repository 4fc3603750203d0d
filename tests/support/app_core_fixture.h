#pragma once

#include "config/configuration.h"
#include "link/receiver_link.h"
#include "session/app_core.h"
#include "sim/receiver_simulator.h"
#include "support/fake_clipboard.h"
#include "support/fake_clock.h"
#include "support/fake_serial_port.h"
#include "support/recording_event_log_surface.h"
#include "support/recording_sheet_surface.h"
#include "support/recording_sound.h"
#include "support/scripted_prompts.h"
#include "support/session_fakes.h"
#include "support/temp_folder.h"
#include "texts/text_table.h"

#include <string>
#include <vector>

namespace konfigor::testing_support {

// The logic behind the main window against the software receiver: a link on a port in memory
// whose bytes go straight to the simulator, worker cycles and timer ticks run by the test.
class AppCoreTest : public TempFolderTest {
protected:
    static constexpr const char* kPort = "/dev/ttyACM0";

    AppCoreTest() {
        simulator.setBaudRate(0);
        port.setWriteHandler([this](std::span<const std::uint8_t> bytes) {
            sentLetters += lettersIn(bytes);
            const auto now = std::chrono::duration_cast<ReceiverSimulator::Time>(clock.now());
            simulator.receive(bytes, now);
            port.feed(simulator.takeOutput(now));
        });
        ports.ports = {{.path = kPort, .displayName = "ttyACM0", .identity = "usb-1"}};
        // A modal progress dialog keeps the timer ticking.
        transferDialog.whileOpen = [this] { cyclesAndTick(); };
    }

    // The port list is filled, the sheet empty: the main window just created.
    AppCore& started() {
        core.start();
        return core;
    }

    // Connected, the version and the configuration reported; the options decide the rest.
    void connectToReceiver() {
        if (!link.isRunning())
            core.session().connectButtonClicked();
        ASSERT_TRUE(link.isRunning());
        for (int round = 0; round < 20 && !link.isConfigurationProbed(); ++round)
            cyclesAndTick();
        cyclesAndTick();
    }

    void cycles(int count) {
        for (int i = 0; i < count; ++i) {
            // What the line has carried by now: nothing more when the simulator answers at once.
            port.feed(simulator.takeOutput(
                std::chrono::duration_cast<ReceiverSimulator::Time>(clock.now())));
            link.runWorkerCycle();
        }
    }
    void cyclesAndTick(int cycleCount = 8) {
        cycles(cycleCount);
        core.session().tick();
    }

    // Letters of the requests the tool wrote, in order, without the liveness chatter: pings and
    // the answers to the interface's calls.
    static std::string lettersIn(std::span<const std::uint8_t> bytes) {
        std::string letters;
        for (std::size_t i = 0; i + 2 < bytes.size(); ++i) {
            if (bytes[i] == 'M' && bytes[i + 1] == 'X' && bytes[i + 2] != 'D' &&
                bytes[i + 2] != 'A') {
                letters += static_cast<char>(bytes[i + 2]);
                i += 2;
            }
        }
        return letters;
    }
    std::string takeSentLetters() { return std::exchange(sentLetters, {}); }

    FakeClock clock;
    FakeSerialPort port{&clock};
    ReceiverLink link{port, clock, ReceiverLink::Worker::Manual};
    ReceiverSimulator simulator;
    std::string sentLetters;

    TextTable texts;
    // Its folder also holds the event log, so nothing is written outside the test's folder.
    Configuration configuration = Configuration::load(path("config.txt"));
    ScriptedPrompts prompts;
    RecordingSheetSurface sheetSurface;
    RecordingSessionSurface sessionSurface;
    FixedPortSource ports;
    FakeConnectingDialog connecting{link};
    FakeTransferDialog transferDialog;
    FakeWarningWindow warning;
    FakeFileDialogs fileDialogs;
    FakeClipboard clipboard;
    RecordingSound sound;
    FakePinDialogs pinDialogs;
    RecordingEventLogSurface eventLogSurface;
    AppCore core{{.link = link,
                  .clock = clock,
                  .portSource = ports,
                  .fixedPorts = {},
                  .leadingPorts = {},
                  .configuration = configuration,
                  .texts = texts,
                  .prompts = prompts,
                  .sheetSurface = sheetSurface,
                  .sessionSurface = sessionSurface,
                  .connecting = connecting,
                  .transferDialog = transferDialog,
                  .warning = warning,
                  .fileDialogs = fileDialogs,
                  .clipboard = clipboard,
                  .sound = sound,
                  .pinDialogs = pinDialogs,
                  .eventLogSurface = eventLogSurface,
                  .localTime = [] {
                      std::tm time{};
                      time.tm_year = 118;
                      time.tm_mon = 8;
                      time.tm_mday = 17;
                      time.tm_hour = 8;
                      time.tm_min = 5;
                      time.tm_sec = 3;
                      return time;
                  }}};
};

} // namespace konfigor::testing_support
