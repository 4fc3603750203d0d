#pragma once

#include "link/receiver_link.h"
#include "remote/virtual_remote.h"
#include "sim/receiver_simulator.h"
#include "support/fake_clock.h"
#include "support/fake_serial_port.h"
#include "texts/text_table.h"

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace konfigor::testing_support {

// The virtual remote on a link whose bytes go straight to the software receiver; the test runs
// the worker's cycles. Every press frame the receiver takes is kept with its channel bits.
class VirtualRemoteTest : public testing::Test {
protected:
    static constexpr const char* kPort = "/dev/ttyACM0";

    VirtualRemoteTest() {
        simulator.setBaudRate(0);
        port.setWriteHandler([this](std::span<const std::uint8_t> bytes) {
            const auto now = std::chrono::duration_cast<ReceiverSimulator::Time>(clock.now());
            const unsigned before = simulator.requestCount('P');
            simulator.receive(bytes, now);
            for (unsigned i = before; i < simulator.requestCount('P'); ++i)
                pressFrames.push_back(simulator.lastPressChannels().value_or(0xFF));
            port.feed(simulator.takeOutput(now));
        });
        remote.setEventSink([this](const VirtualPressEvent& event) { events.push_back(event); });
    }

    // Connected, with the receiver's channel modes known to the link.
    void connectToReceiver() {
        ASSERT_TRUE(link.connect(kPort));
        for (int i = 0; i < 200 && !link.isConfigurationProbed(); ++i)
            cycles(1);
        ASSERT_TRUE(link.isConfigurationProbed());
        cycles(5);
        pressFrames.clear();
    }

    // The channel modes as a read of the receiver leaves them in the link's image: the link
    // takes them from there.
    void setMomentaryChannels(const std::array<bool, 4>& momentary) {
        link.image().update([&](ReceiverMemory& m) {
            for (std::size_t channel = 0; channel < momentary.size(); ++channel)
                m.setChannelMomentary(channel, momentary[channel]);
        });
    }

    void cycles(int count) {
        for (int i = 0; i < count; ++i) {
            port.feed(simulator.takeOutput(
                std::chrono::duration_cast<ReceiverSimulator::Time>(clock.now())));
            link.runWorkerCycle();
        }
    }

    std::vector<std::uint8_t> takePressFrames() { return std::exchange(pressFrames, {}); }

    FakeClock clock;
    FakeSerialPort port{&clock};
    ReceiverLink link{port, clock, ReceiverLink::Worker::Manual};
    ReceiverSimulator simulator;
    TextTable texts;
    VirtualRemote remote{link, texts};
    std::vector<std::uint8_t> pressFrames;
    std::vector<VirtualPressEvent> events;
};

} // namespace konfigor::testing_support
