#include "link/port_list.h"

#include <algorithm>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace konfigor {
namespace {

// A case is listed under its own name rather than as a dump of its bytes.
template <class Case>
std::string caseName(const testing::TestParamInfo<Case>& testCase) {
    return testCase.param.name;
}

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

InterfacePort interfaceAt(const std::string& name, const std::string& serial) {
    return {.path = "/dev/" + name, .displayName = name, .identity = "serial:" + serial};
}

const InterfacePort kFirst = interfaceAt("ttyACM0", "A1");
const InterfacePort kSecond = interfaceAt("ttyACM1", "B2");
// The first interface re-plugged while its old node was still held open.
const InterfacePort kFirstReplugged = interfaceAt("ttyACM2", "A1");
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
    InterfacePort connected;
    std::vector<std::string> expectedPaths;
    std::optional<std::size_t> expectedSelection;
    bool expectedConnectEnabled;
    std::vector<InterfacePort> leading = {};

    // gtest lists a case by its name, not as a dump of its bytes.
    friend void PrintTo(const RefreshCase& testCase, std::ostream* out) { *out << testCase.name; }
};

class PortListRefresh : public ::testing::TestWithParam<RefreshCase> {};

TEST_P(PortListRefresh, ListsSelectsAndEnables) {
    const auto& param = GetParam();
    FakePortSource source{param.discovered};
    PortList list{source, param.fixed, [](bool, const std::string&) {},
                  [&param] { return param.leading; }};

    const auto& state = list.refreshPortList(param.connected);

    EXPECT_THAT(pathsOf(state), ElementsAreArray(param.expectedPaths));
    EXPECT_EQ(state.selected, param.expectedSelection);
    EXPECT_EQ(state.connectEnabled, param.expectedConnectEnabled);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PortListRefresh,
    ::testing::Values(
        RefreshCase{"NothingToOffer", {}, {}, {}, {}, std::nullopt, false},
        RefreshCase{"TwoInterfacesInEnumerationOrderFirstSelected",
                    {kSecond, kFirst},
                    {},
                    {},
                    {kSecond.path, kFirst.path},
                    0,
                    true},
        RefreshCase{"ConnectedPortSelected",
                    {kFirst, kSecond},
                    {},
                    kSecond,
                    {kFirst.path, kSecond.path},
                    1,
                    true},
        RefreshCase{"ConnectedPortGoneSelectsNothing",
                    {kFirst},
                    {},
                    kSecond,
                    {kFirst.path},
                    std::nullopt,
                    true},
        RefreshCase{
            "ConnectedWithEmptyListKeepsConnectEnabled", {}, {}, kFirst, {}, std::nullopt, true},
        RefreshCase{"GivenAndDemoPortsAfterDiscovered",
                    {kFirst},
                    {kGiven, kDemo},
                    {},
                    {kFirst.path, kGiven.path, kDemo.path},
                    0,
                    true},
        RefreshCase{"GivenPortThatIsDiscoveredListedOnce",
                    {kFirst},
                    {portGivenByPath(kFirst.path), kDemo},
                    {},
                    {kFirst.path, kDemo.path},
                    0,
                    true},
        RefreshCase{"DemoPortAloneCanBeConnected", {}, {kDemo}, {}, {kDemo.path}, 0, true},
        RefreshCase{
            "ConnectedToDemoPort", {kFirst}, {kDemo}, kDemo, {kFirst.path, kDemo.path}, 1, true},
        RefreshCase{"DemoReceiverListedFirst",
                    {kFirst},
                    {},
                    {},
                    {kDemo.path, kFirst.path},
                    0,
                    true,
                    {kDemo}}),
    caseName<RefreshCase>);

// What the link is told: present or not, and the path to reopen.
using Presence = std::pair<bool, std::string>;

// The connected interface after a device change: recognised by its identity, whatever node it
// is listed under now.
struct ReplugCase {
    const char* name;
    InterfacePort connected;
    std::vector<InterfacePort> listedAfter;
    std::vector<InterfacePort> fixed;
    std::string expectedSelectedPath; // empty: nothing selected
    Presence expectedPresence;

    // gtest lists a case by its name, not as a dump of its bytes.
    friend void PrintTo(const ReplugCase& testCase, std::ostream* out) { *out << testCase.name; }
};

class PortListReplug : public ::testing::TestWithParam<ReplugCase> {};

TEST_P(PortListReplug, RecognisesTheConnectedInterface) {
    const auto& param = GetParam();
    FakePortSource source{param.listedAfter};
    std::vector<Presence> presence;
    PortList list{source, param.fixed, [&](bool present, const std::string& path) {
                      presence.emplace_back(present, path);
                  }};

    list.handleDeviceChange(param.connected);

    EXPECT_EQ(list.selectedPath(), param.expectedSelectedPath);
    EXPECT_THAT(presence, ElementsAre(param.expectedPresence));
}

const InterfacePort kOtherAtFirstsNode = interfaceAt("ttyACM0", "C3");

INSTANTIATE_TEST_SUITE_P(
    Cases, PortListReplug,
    ::testing::Values(ReplugCase{"SameInterfaceUnderANewNode",
                                 kFirst,
                                 {kSecond, kFirstReplugged},
                                 {},
                                 kFirstReplugged.path,
                                 {true, kFirstReplugged.path}},
                      ReplugCase{"AnotherInterfaceUnderTheOldNodeDoesNotCount",
                                 kFirst,
                                 {kOtherAtFirstsNode},
                                 {},
                                 "",
                                 {false, kFirst.path}},
                      ReplugCase{"IdentityWinsOverTheOldNode",
                                 kFirst,
                                 {kOtherAtFirstsNode, kFirstReplugged},
                                 {},
                                 kFirstReplugged.path,
                                 {true, kFirstReplugged.path}},
                      // Interfaces that share a serial number cannot be told apart by it.
                      ReplugCase{"SharedSerialNumberPrefersTheOldNode",
                                 kFirst,
                                 {kFirstReplugged, kFirst},
                                 {},
                                 kFirst.path,
                                 {true, kFirst.path}},
                      ReplugCase{"GivenPortKeepsItsPathAsIdentity",
                                 kGiven,
                                 {kFirst},
                                 {portGivenByPath(kGiven.path)},
                                 kGiven.path,
                                 {true, kGiven.path}},
                      ReplugCase{"GivenPortIsNotTheInterfaceAtThatNode",
                                 portGivenByPath(kFirst.path),
                                 {kFirstReplugged},
                                 {},
                                 "",
                                 {false, kFirst.path}}),
    caseName<ReplugCase>);

class PortListSession : public ::testing::Test {
protected:
    FakePortSource source{{kFirst, kSecond}};
    std::vector<Presence> presence;
    PortList list{source, {kDemo}, [this](bool present, const std::string& path) {
                      presence.emplace_back(present, path);
                  }};
};

TEST_F(PortListSession, KeepsTheChosenPortWhileOthersComeAndGo) {
    list.refreshPortList({});
    list.select(1);

    source.unplug(kFirst);
    EXPECT_EQ(list.handleDeviceChange({}).selected, 0u);
    EXPECT_EQ(list.selectedPath(), kSecond.path);

    source.plug(kFirst, 0);
    EXPECT_EQ(list.handleDeviceChange({}).selected, 1u);
    EXPECT_EQ(list.selectedPath(), kSecond.path);
}

TEST_F(PortListSession, ChosenPortUnpluggedFallsBackToTheFirst) {
    list.refreshPortList({});
    list.select(1);

    source.unplug(kSecond);
    list.handleDeviceChange({});

    EXPECT_EQ(list.selectedPath(), kFirst.path);
}

// The demo receiver's name is the program's text: a refresh after a language change shows
// the new name and keeps it selected.
TEST_F(PortListSession, LeadingPortsAreAskedForOnEveryRefresh) {
    std::string name = "Symulowany";
    PortList withDemo(
        source, {}, [](bool, const std::string&) {},
        [&name] {
            return std::vector{
                InterfacePort{.path = "/demo", .displayName = name, .identity = "/demo"}};
        });
    withDemo.refreshPortList({});
    EXPECT_EQ(withDemo.state().entries.at(0).displayName, "Symulowany");
    name = "Simulated";
    const PortListState& state = withDemo.refreshPortList({});
    EXPECT_EQ(state.entries.at(0).displayName, "Simulated");
    EXPECT_EQ(state.entries.size(), 3u);
    EXPECT_EQ(withDemo.selectedPath(), "/demo");
}

TEST_F(PortListSession, UnplugAndReplugWhileConnected) {
    list.refreshPortList(kSecond);

    source.unplug(kSecond);
    const auto& unplugged = list.handleDeviceChange(kSecond);
    EXPECT_EQ(unplugged.selected, std::nullopt);
    EXPECT_TRUE(unplugged.connectEnabled);

    source.plug(kSecond, 1);
    EXPECT_EQ(list.handleDeviceChange(kSecond).selected, 1u);

    EXPECT_THAT(presence, ElementsAre(Presence{false, kSecond.path}, Presence{true, kSecond.path}));
}

TEST_F(PortListSession, ChosenInterfaceStaysChosenUnderANewNode) {
    list.refreshPortList({});
    list.select(0);

    source.unplug(kFirst);
    source.plug(kFirstReplugged, 1);
    list.handleDeviceChange({});

    EXPECT_EQ(list.selectedPath(), kFirstReplugged.path);
}

TEST_F(PortListSession, UnrelatedDeviceWhileConnectedChangesNothing) {
    const auto before = list.refreshPortList(kFirst);

    EXPECT_EQ(list.handleDeviceChange(kFirst), before);
    EXPECT_THAT(presence, ElementsAre(Presence{true, kFirst.path}));
}

TEST_F(PortListSession, DeviceChangeTakesThePendingNews) {
    // Left pending, a real source's descriptor would stay readable and wake the window forever.
    source.unplug(kFirst);
    list.handleDeviceChange({});

    EXPECT_FALSE(source.hasPendingEvents());
}

TEST_F(PortListSession, SelectingPastTheEndSelectsNothing) {
    list.refreshPortList({});
    list.select(3);

    EXPECT_EQ(list.state().selected, std::nullopt);
    EXPECT_THAT(list.selectedPath(), IsEmpty());
}

} // namespace
} // namespace konfigor
