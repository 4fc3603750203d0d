#include "link/udev_port_source.h"
#include "support/usb_testbed.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace konfigor {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing_support::FakeSerialDevice;
using testing_support::UsbTestbed;

// Generous: only a broken notification ever waits this long.
constexpr int kEventWaitMs = 5'000;

bool becomesReadable(int fd) {
    pollfd watched{.fd = fd, .events = POLLIN, .revents = 0};
    return ::poll(&watched, 1, kEventWaitMs) == 1;
}

InterfacePort portOf(const FakeSerialDevice& device) {
    return {.path = device.node,
            .displayName = device.node.substr(std::string_view{"/dev/"}.size()),
            .identity = device.ttySyspath};
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
    auto interface = testbed.plugSerialDevice("1-1", "04d8", "ff0c", "ttyACM0");
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
