#include "sim/demo_receiver.h"

#include "link/receiver_image.h"

#include <array>

namespace konfigor {
namespace {

constexpr std::uint32_t kMultiBit = 0x4000'0000u;

struct DemoRemote {
    std::uint32_t serial;
    std::uint16_t counter;
    std::uint16_t buttonWord; // button 1 in the lowest four bits
    bool copyLock;
};

// Gate, barrier and garage remotes of a small housing estate.
constexpr std::array<DemoRemote, 12> kRemotes{{
    {1048613, 212, 0x0021, true},
    {1048790, 87, 0x0021, true},
    {1051344, 1530, 0x0001, false},
    {1052007, 44, 0x8421, true},
    {kMultiBit | 2200311, 9, 0x0003, true},
    {1060452, 3001, 0x0042, true},
    {1060453, 2997, 0x0042, true},
    {1077120, 5, 0x0004, false},
    {1081999, 641, 0x0C00, true},
    {1090270, 120, 0x0008, true},
    {1101002, 77, 0x1111, true},
    {1123456, 350, 0x0000, true},
}};

} // namespace

DemoReceiver::DemoReceiver(const Options& options)
    : simulator_(prepared(options)),
      thread_(simulator_, {.link = std::nullopt, .pressEvery = options.pressEvery}) {}

ReceiverSimulator DemoReceiver::prepared(const Options& options) {
    ReceiverSimulator simulator;
    simulator.setBaudRate(options.baudRate);
    fillMemory(simulator);
    return simulator;
}

void DemoReceiver::fillMemory(ReceiverSimulator& simulator) {
    for (std::size_t slot = 0; slot < kRemotes.size(); ++slot) {
        const DemoRemote& remote = kRemotes[slot];
        simulator.storeRemote(slot, ReceiverImage::Record{.serialNumber = remote.serial,
                                                          .copyLock = remote.copyLock,
                                                          .counter = remote.counter,
                                                          .buttonWord = remote.buttonWord}
                                        .toRemoteRecord());
    }
    ReceiverMemory& memory = simulator.memory();
    memory.setChannelMomentary(0, true); // gate: momentary
    memory.setChannelTime(1, 30);        // barrier: 3 s monostable
    memory.setChannelTime(2, 0);         // lighting: bistable
    memory.setChannelTime(3, 5);         // garage: 0.5 s with a double press
    memory.setChannelDoublePress(3, true);
}

} // namespace konfigor
