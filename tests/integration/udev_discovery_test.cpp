#include "link/port_list.h"
#include "link/receiver_link.h"
#include "link/serial_port_posix.h"
#include "link/steady_clock.h"
#include "link/udev_port_source.h"
#include "sim/receiver_simulator.h"
#include "support/eventually.h"
#include "support/usb_testbed.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <ostream>
#include <poll.h>
#include <string>
#include <string_view>
#include <thread>
#include <unistd.h>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace konfigor {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing_support::eventually;
using testing_support::FakeSerialDevice;
using testing_support::UsbTestbed;

// Generous: only a broken notification ever waits this long.
constexpr int kEventWaitMs = 5'000;

bool becomesReadable(int fd) {
    pollfd watched{.fd = fd, .events = POLLIN, .revents = 0};
    return ::poll(&watched, 1, kEventWaitMs) == 1;
}

// Named by what survives re-plugging: the serial number, else the USB device's place.
InterfacePort portOf(const FakeSerialDevice& device) {
    return {.path = device.node,
            .displayName = device.node.substr(std::string_view{"/dev/"}.size()),
            .identity = device.serial.empty() ? device.usbSyspath : "serial:" + device.serial};
}

class UdevDiscovery : public ::testing::Test {
protected:
    void SetUp() override {
        // Otherwise libudev would read this machine's real devices.
        ASSERT_TRUE(umockdev_in_mock_environment()) << "not running under umockdev-wrapper";
    }

    std::unique_ptr<UdevPortSource> openSource() {
        auto source = UdevPortSource::create();
        EXPECT_NE(source, nullptr);
        return source;
    }

    UsbTestbed testbed;
};

TEST_F(UdevDiscovery, ListsOnlyTheProgrammingInterfaces) {
    auto interface = testbed.plugSerialDevice("1-1", "04d8", "ff0c", "ttyACM0", "KVR0042");
    testbed.plugSerialDevice("1-2", "067b", "2303", "ttyUSB0");
    // sysfs writes lower case, but the comparison must not rely on it.
    auto upperCase = testbed.plugSerialDevice("1-3", "04D8", "FF0C", "ttyACM1");

    auto source = openSource();

    EXPECT_THAT(source->listPorts(), ElementsAre(portOf(interface), portOf(upperCase)));
}

TEST_F(UdevDiscovery, OtherProductOfTheSameVendorIsNotListed) {
    testbed.plugSerialDevice("1-1", "04d8", "000a", "ttyACM0");

    EXPECT_THAT(openSource()->listPorts(), IsEmpty());
}

TEST_F(UdevDiscovery, UnplugIsReportedWithTheNodeAfterSysfsIsGone) {
    auto interface = testbed.plugSerialDevice("1-1", "04d8", "ff0c", "ttyACM0");
    auto source = openSource();

    testbed.unplug(interface);

    ASSERT_TRUE(becomesReadable(source->notificationFd()));
    EXPECT_THAT(source->drainEvents(), ElementsAre(PortEvent{PortChange::Left, portOf(interface)}));
    EXPECT_THAT(source->listPorts(), IsEmpty());
}

TEST_F(UdevDiscovery, ReplugIsReportedAndListedAgain) {
    auto interface = testbed.plugSerialDevice("1-1", "04d8", "ff0c", "ttyACM0");
    auto source = openSource();
    testbed.unplug(interface);
    ASSERT_TRUE(becomesReadable(source->notificationFd()));
    source->drainEvents();

    interface = testbed.plugSerialDevice("1-1", "04d8", "ff0c", "ttyACM0");

    ASSERT_TRUE(becomesReadable(source->notificationFd()));
    EXPECT_THAT(source->drainEvents(),
                ElementsAre(PortEvent{PortChange::Arrived, portOf(interface)}));
    EXPECT_THAT(source->listPorts(), ElementsAre(portOf(interface)));
}

// A quick re-plug gets a new node while the old one is still held open.
struct ReplugCase {
    // Shown by its name in the test list, not as a dump of its bytes.
    friend void PrintTo(const ReplugCase& shown, std::ostream* out) { *out << shown.name; }
    const char* name;
    std::string serial;
    std::string busPortAfter;
    bool sameIdentity;
};

class UdevReplug : public UdevDiscovery, public ::testing::WithParamInterface<ReplugCase> {};

TEST_P(UdevReplug, UnderANewNode) {
    const auto& param = GetParam();
    auto before = testbed.plugSerialDevice("1-1", "04d8", "ff0c", "ttyACM0", param.serial);
    auto source = openSource();
    const auto listedBefore = source->listPorts();
    ASSERT_THAT(listedBefore, ElementsAre(portOf(before)));

    testbed.unplug(before);
    auto after =
        testbed.plugSerialDevice(param.busPortAfter, "04d8", "ff0c", "ttyACM1", param.serial);

    const auto listedAfter = source->listPorts();
    ASSERT_THAT(listedAfter, ElementsAre(portOf(after)));
    EXPECT_EQ(listedAfter[0].identity == listedBefore[0].identity, param.sameIdentity);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UdevReplug,
    ::testing::Values(ReplugCase{"SerialNumberInAnotherBusPort", "KVR0042", "1-2", true},
                      ReplugCase{"NoSerialNumberInTheSameBusPort", "", "1-1", true},
                      ReplugCase{"NoSerialNumberInAnotherBusPortIsAnotherDevice", "", "1-2",
                                 false}),
    [](const auto& testCase) { return std::string{testCase.param.name}; });

TEST_F(UdevDiscovery, UnrelatedDeviceWakesTheMonitorWithoutNews) {
    auto source = openSource();

    testbed.plugSerialDevice("1-2", "067b", "2303", "ttyUSB0");

    ASSERT_TRUE(becomesReadable(source->notificationFd()));
    EXPECT_THAT(source->drainEvents(), IsEmpty());
    EXPECT_THAT(source->listPorts(), IsEmpty());
}

// What a later test serving the simulator on the interface's end relies on.
bool reachesInterfaceEnd(UsbTestbed& testbed, const FakeSerialDevice& device) {
    int node = ::open(device.node.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (node < 0)
        return false;
    char sent = 'Z';
    char received = 0;
    bool reached = ::write(node, &sent, 1) == 1 &&
                   becomesReadable(testbed.interfaceEndOf(device)) &&
                   ::read(testbed.interfaceEndOf(device), &received, 1) == 1 && received == sent;
    ::close(node);
    return reached;
}

TEST_F(UdevDiscovery, NodeLeadsToThePseudoTerminalOnlyWhilePlugged) {
    auto interface = testbed.plugSerialDevice("1-1", "04d8", "ff0c", "ttyACM0");
    EXPECT_TRUE(reachesInterfaceEnd(testbed, interface));

    testbed.unplug(interface);
    EXPECT_FALSE(std::filesystem::exists(interface.node));

    interface = testbed.plugSerialDevice("1-1", "04d8", "ff0c", "ttyACM0");
    EXPECT_TRUE(reachesInterfaceEnd(testbed, interface));
}

// The software receiver behind the interface end of a fake device's pseudo-terminal. While
// unplugged it takes nothing and answers nothing, as a device that is gone; plugged in again it
// serves the end of the node it got this time.
class InterfaceBridge {
public:
    InterfaceBridge(int interfaceEnd, ReceiverSimulator& simulator)
        : fd_(interfaceEnd), simulator_(simulator), thread_([this] { serve(); }) {}
    ~InterfaceBridge() {
        stop_ = true;
        thread_.join();
    }
    InterfaceBridge(const InterfaceBridge&) = delete;
    InterfaceBridge& operator=(const InterfaceBridge&) = delete;

    void unplug() { unplugged_ = true; }
    void plugInto(int interfaceEnd) {
        fd_ = interfaceEnd;
        unplugged_ = false;
    }

private:
    void serve() {
        const auto start = std::chrono::steady_clock::now();
        std::array<std::uint8_t, 256> buffer{};
        while (!stop_) {
            const int fd = fd_;
            pollfd watched{.fd = fd, .events = POLLIN, .revents = 0};
            if (::poll(&watched, 1, 5) != 1 || (watched.revents & POLLIN) == 0)
                continue;
            const ssize_t count = ::read(fd, buffer.data(), buffer.size());
            if (count <= 0 || unplugged_)
                continue;
            const auto now = std::chrono::duration_cast<ReceiverSimulator::Time>(
                std::chrono::steady_clock::now() - start);
            simulator_.receive(std::span(buffer).first(static_cast<std::size_t>(count)), now);
            const auto answer = simulator_.takeOutput(now);
            if (!answer.empty()) [[maybe_unused]]
                const auto written = ::write(fd, answer.data(), answer.size());
        }
    }

    std::atomic<int> fd_;
    ReceiverSimulator& simulator_;
    std::atomic<bool> stop_ = false;
    std::atomic<bool> unplugged_ = false;
    std::thread thread_;
};

// The node the interface gets when it is plugged in again.
class UdevLinkReplug : public UdevDiscovery, public ::testing::WithParamInterface<const char*> {};

TEST_P(UdevLinkReplug, LinkReadsThroughTheNodeAndFollowsUnplugAndReplug) {
    auto interface = testbed.plugSerialDevice("1-1", "04d8", "ff0c", "ttyACM0", "KVR0042");
    ReceiverSimulator simulator;
    simulator.setBaudRate(0);
    simulator.storeRemote(7, {.serialField = 4242, .counter = 3, .counterCopy = 3});
    InterfaceBridge bridge(testbed.interfaceEndOf(interface), simulator);

    auto source = openSource();
    SteadyClock clock;
    PosixSerialPort port;
    ReceiverLink link(port, clock);
    // What the session does with the port list's word.
    PortList ports(*source, {}, [&](bool present, const std::string& path) {
        if (present)
            link.setPortPath(path);
        link.setPortPresent(present);
    });
    const InterfacePort connected = portOf(interface);
    ASSERT_EQ(ports.refreshPortList({}).entries, std::vector{connected});

    ASSERT_TRUE(link.connect(connected.path));
    ASSERT_TRUE(eventually([&] { return link.isConfigurationProbed(); }));
    ASSERT_TRUE(link.startBulkRead());
    ASSERT_TRUE(eventually([&] { return link.isReadComplete(); }));
    EXPECT_EQ(link.image().readRecord(7).serialNumber, 4242u);

    // Unplugged while connected: the port is absent and the link stops trying to reopen it.
    bridge.unplug();
    testbed.unplug(interface);
    ASSERT_TRUE(becomesReadable(source->notificationFd()));
    EXPECT_FALSE(ports.handleDeviceChange(connected).selected);
    ASSERT_TRUE(eventually([&] { return link.isReconnecting(); }));

    // Plugged in again: the link reconnects by itself, through whichever node it got, and
    // learns the receiver anew.
    interface = testbed.plugSerialDevice("1-1", "04d8", "ff0c", GetParam(), "KVR0042");
    bridge.plugInto(testbed.interfaceEndOf(interface));
    ASSERT_TRUE(becomesReadable(source->notificationFd()));
    ports.handleDeviceChange(connected);
    EXPECT_EQ(ports.selectedPath(), interface.node);
    EXPECT_TRUE(eventually([&] { return !link.isReconnecting() && link.isConfigurationProbed(); }));
    EXPECT_EQ(link.portPath(), interface.node);
    link.disconnect();
}

INSTANTIATE_TEST_SUITE_P(Nodes, UdevLinkReplug, ::testing::Values("ttyACM0", "ttyACM1"),
                         [](const auto& node) { return std::string{node.param}; });

constexpr const char* kReexecMarker = "KONFIGOR_UMOCKDEV_REEXEC";

bool onlyListing(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::string_view{argv[i]}.starts_with("--gtest_list_tests"))
            return true;
    }
    return false;
}

// umockdev_in_mock_environment() cannot tell before a testbed exists, and caches its answer.
bool preloaded() {
    const char* preload = std::getenv("LD_PRELOAD");
    return preload != nullptr &&
           std::string_view{preload}.find("libumockdev-preload") != std::string_view::npos;
}

// Under AddressSanitizer the preloaded library comes before the sanitizer's runtime, which works
// that way but refuses to start unless told. Other builds ignore the variable.
void allowPreloadBeforeSanitizer() {
    const char* current = std::getenv("ASAN_OPTIONS");
    std::string options = current != nullptr && *current != '\0' ? std::string{current} + ":" : "";
    ::setenv("ASAN_OPTIONS", (options + "verify_asan_link_order=0").c_str(), 1);
}

// umockdev redirects /sys, /dev and netlink through a preloaded library, which must be in place
// before the process starts. Running ourselves again under umockdev-wrapper works from ctest,
// by hand and in a debugger alike; listing the tests needs no testbed and stays unwrapped, so
// test discovery never preloads anything.
int runAgainUnderWrapper(int argc, char** argv) {
    if (std::getenv(kReexecMarker) != nullptr) {
        std::fprintf(stderr, "umockdev-wrapper did not preload libumockdev-preload\n");
        return EXIT_FAILURE;
    }
    ::setenv(kReexecMarker, "1", 1);
    allowPreloadBeforeSanitizer();
    // The wrapper, a shell script, would read /proc/self/exe as itself.
    auto self = std::filesystem::read_symlink("/proc/self/exe").string();
    std::vector<char*> arguments{const_cast<char*>("umockdev-wrapper"), self.data()};
    arguments.insert(arguments.end(), argv + 1, argv + argc);
    arguments.push_back(nullptr);
    ::execvp(arguments[0], arguments.data());
    std::fprintf(stderr, "cannot run umockdev-wrapper (package umockdev): %s\n",
                 std::strerror(errno));
    return EXIT_FAILURE;
}

} // namespace
} // namespace konfigor

int main(int argc, char** argv) {
    if (!konfigor::preloaded() && !konfigor::onlyListing(argc, argv))
        return konfigor::runAgainUnderWrapper(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
