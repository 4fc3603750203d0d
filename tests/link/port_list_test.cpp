#include "link/port_list.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace konfigor {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

InterfacePort interfaceAt(const std::string& name) {
    return {.path = "/dev/" + name,
            .displayName = name,
            .identity = "/sys/devices/usb1/1-1/1-1:1.0/tty/" + name};
}

const InterfacePort kFirst = interfaceAt("ttyACM0");
const InterfacePort kSecond = interfaceAt("ttyACM1");
const InterfacePort kGiven = portGivenByPath("/dev/ttyUSB5");
const InterfacePort kDemo{.path = "/tmp/kvr-sim/port", .displayName = "Demo", .identity = "demo"};

// The system as the list sees it: the interfaces present and the news not yet taken. A device
// that is no interface only wakes the descriptor, as a real source does.
class FakePortSource final : public PortSource {
public:
    explicit FakePortSource(std::vector<InterfacePort> present = {})
        : present_(std::move(present)) {}

    std::vector<InterfacePort> listPorts() override { return present_; }
    int notificationFd() const override { return -1; }
    std::vector<PortEvent> drainEvents() override { return std::exchange(pending_, {}); }

    void plug(const InterfacePort& port, std::size_t position) {
        present_.insert(present_.begin() + static_cast<std::ptrdiff_t>(position), port);
        pending_.push_back({PortChange::Arrived, port});
    }
    void unplug(const InterfacePort& port) {
        std::erase(present_, port);
        pending_.push_back({PortChange::Left, port});
    }
    bool hasPendingEvents() const { return !pending_.empty(); }

private:
    std::vector<InterfacePort> present_;
    std::vector<PortEvent> pending_;
};

std::vector<std::string> pathsOf(const PortListState& state) {
    std::vector<std::string> paths;
    for (const auto& entry : state.entries)
        paths.push_back(entry.path);
    return paths;
}

struct RefreshCase {
    const char* name;
    std::vector<InterfacePort> discovered;
    std::vector<InterfacePort> fixed;
    std::string connectedPort;
    std::vector<std::string> expectedPaths;
    std::optional<std::size_t> expectedSelection;
    bool expectedConnectEnabled;
    std::vector<InterfacePort> leading = {};
};

class PortListRefresh : public ::testing::TestWithParam<RefreshCase> {};

TEST_P(PortListRefresh, ListsSelectsAndEnables) {
    const auto& param = GetParam();
    FakePortSource source{param.discovered};
    PortList list{source, param.fixed, [](bool) {}, param.leading};

    const auto& state = list.refreshPortList(param.connectedPort);

    EXPECT_THAT(pathsOf(state), ElementsAreArray(param.expectedPaths));
    EXPECT_EQ(state.selected, param.expectedSelection);
    EXPECT_EQ(state.connectEnabled, param.expectedConnectEnabled);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PortListRefresh,
    ::testing::Values(RefreshCase{"NothingToOffer", {}, {}, "", {}, std::nullopt, false},
                      RefreshCase{"TwoInterfacesInEnumerationOrderFirstSelected",
                                  {kSecond, kFirst},
                                  {},
                                  "",
                                  {kSecond.path, kFirst.path},
                                  0,
                                  true},
                      RefreshCase{"ConnectedPortSelected",
                                  {kFirst, kSecond},
                                  {},
                                  kSecond.path,
                                  {kFirst.path, kSecond.path},
                                  1,
                                  true},
                      RefreshCase{"ConnectedPortGoneSelectsNothing",
                                  {kFirst},
                                  {},
                                  kSecond.path,
                                  {kFirst.path},
                                  std::nullopt,
                                  true},
                      RefreshCase{"ConnectedWithEmptyListKeepsConnectEnabled",
                                  {},
                                  {},
                                  kFirst.path,
                                  {},
                                  std::nullopt,
                                  true},
                      RefreshCase{"GivenAndDemoPortsAfterDiscovered",
                                  {kFirst},
                                  {kGiven, kDemo},
                                  "",
                                  {kFirst.path, kGiven.path, kDemo.path},
                                  0,
                                  true},
                      RefreshCase{"GivenPortThatIsDiscoveredListedOnce",
                                  {kFirst},
                                  {portGivenByPath(kFirst.path), kDemo},
                                  "",
                                  {kFirst.path, kDemo.path},
                                  0,
                                  true},
                      RefreshCase{
                          "DemoPortAloneCanBeConnected", {}, {kDemo}, "", {kDemo.path}, 0, true},
                      RefreshCase{"ConnectedToDemoPort",
                                  {kFirst},
                                  {kDemo},
                                  kDemo.path,
                                  {kFirst.path, kDemo.path},
                                  1,
                                  true},
                      RefreshCase{"DemoReceiverListedFirst",
                                  {kFirst},
                                  {},
                                  "",
                                  {kDemo.path, kFirst.path},
                                  0,
                                  true,
                                  {kDemo}}),
    [](const auto& testCase) { return std::string{testCase.param.name}; });

class PortListSession : public ::testing::Test {
protected:
    FakePortSource source{{kFirst, kSecond}};
    std::vector<bool> presence;
    PortList list{source, {kDemo}, [this](bool present) { presence.push_back(present); }};
};

TEST_F(PortListSession, KeepsTheChosenPortWhileOthersComeAndGo) {
    list.refreshPortList("");
    list.select(1);

    source.unplug(kFirst);
    EXPECT_EQ(list.handleDeviceChange("").selected, 0u);
    EXPECT_EQ(list.selectedPath(), kSecond.path);

    source.plug(kFirst, 0);
    EXPECT_EQ(list.handleDeviceChange("").selected, 1u);
    EXPECT_EQ(list.selectedPath(), kSecond.path);
}

TEST_F(PortListSession, ChosenPortUnpluggedFallsBackToTheFirst) {
    list.refreshPortList("");
    list.select(1);

    source.unplug(kSecond);
    list.handleDeviceChange("");

    EXPECT_EQ(list.selectedPath(), kFirst.path);
}

TEST_F(PortListSession, UnplugAndReplugWhileConnected) {
    list.refreshPortList(kSecond.path);

    source.unplug(kSecond);
    const auto& unplugged = list.handleDeviceChange(kSecond.path);
    EXPECT_EQ(unplugged.selected, std::nullopt);
    EXPECT_TRUE(unplugged.connectEnabled);

    source.plug(kSecond, 1);
    EXPECT_EQ(list.handleDeviceChange(kSecond.path).selected, 1u);

    EXPECT_THAT(presence, ElementsAre(false, true));
}

TEST_F(PortListSession, UnrelatedDeviceWhileConnectedChangesNothing) {
    const auto before = list.refreshPortList(kFirst.path);

    EXPECT_EQ(list.handleDeviceChange(kFirst.path), before);
    EXPECT_THAT(presence, ElementsAre(true));
}

TEST_F(PortListSession, DeviceChangeTakesThePendingNews) {
    // Left pending, a real source's descriptor would stay readable and wake the window forever.
    source.unplug(kFirst);
    list.handleDeviceChange("");

    EXPECT_FALSE(source.hasPendingEvents());
}

TEST_F(PortListSession, SelectingPastTheEndSelectsNothing) {
    list.refreshPortList("");
    list.select(3);

    EXPECT_EQ(list.state().selected, std::nullopt);
    EXPECT_THAT(list.selectedPath(), IsEmpty());
}

} // namespace
} // namespace konfigor
