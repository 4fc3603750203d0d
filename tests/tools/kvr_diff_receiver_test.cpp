// kvr diff with a receiver for one side: the software receiver on a pseudo-terminal.
#include "kvr/kvr_commands.h"
#include "kvr/search_commands.h"
#include "search/settings_tree.h"
#include "sim/receiver_simulator.h"
#include "sim/simulator_thread.h"
#include "tools/input_pipe.h"

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace konfigor::kvr {
namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

class KvrDiffReceiver : public testing::Test {
protected:
    // Remote 4242 in position 1 on buttons 1 and 2; channel 2 bistable.
    KvrDiffReceiver() {
        simulator.setBaudRate(0);
        simulator.storeRemote(
            0, {.serialField = 4242, .counter = 7, .counterCopy = 7, .buttonWord = 0x0021});
        simulator.memory().setChannelTime(1, 0);
    }

    // The receiver's settings as a file, with descriptions it does not keep.
    std::string receiversFile(const std::string& name) const {
        SettingsSheet sheet;
        sheet.remotes[0].serialWord = 4242;
        sheet.remotes[0].codeCounter = 1;
        sheet.remotes[0].buttonMasks = {1, 2, 0, 0};
        sheet.remotes[0].copyLock = false;
        sheet.remotes[0].description.assign("Brama");
        sheet.channels[1].time = 0;
        sheet.identifier.assign("Osiedle");
        return tree.writeSheet(name, sheet).string();
    }

    Outcome run(std::vector<std::string> args, std::string_view input = {}) {
        if (!served)
            served.emplace(simulator);
        const std::vector<std::string_view> words(args.begin(), args.end());
        std::ostringstream out;
        std::ostringstream err;
        const InputPipe stdinPipe(input);
        const int status = runKvr(words, out, err, false, stdinPipe.fd());
        return {status, out.str(), err.str()};
    }
    std::string port() {
        if (!served)
            served.emplace(simulator);
        return served->portPath();
    }

    testing_support::SettingsTree tree;
    ReceiverSimulator simulator;
    std::optional<SimulatorThread> served;
};

TEST_F(KvrDiffReceiver, AReceiverComparesWithoutDescriptionsOnEitherSide) {
    const std::string same = receiversFile("odbiornik.kvr");
    SettingsSheet other;
    other.remotes[2].serialWord = 77;
    const std::string different = tree.writeSheet("inny.kvr", other).string();
    const std::string receiver = port();
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out;
    } cases[] = {
        {{"diff", same, "--port", receiver}, kDiffSame, ""},
        {{"diff", "--port", receiver, different},
         kDiffDifferent,
         "remote 1: serial 4242 | empty\n"
         "remote 3: serial empty | 77\n"
         "channel 2: time 0.0 s | 0.5 s\n"},
        {{"diff", "--port", receiver, same, "--json"},
         kDiffSame,
         R"({"a":"--port )" + receiver + R"(","b":")" + same +
             R"(","descriptionsCompared":false,"equal":true,"differences":[]})"
             "\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[1]);
        const Outcome outcome = run(c.args);

        EXPECT_EQ(outcome.status, c.status) << outcome.err;
        EXPECT_EQ(outcome.out, c.out);
    }
}

TEST_F(KvrDiffReceiver, AReceiverThatRequiresAPinIsReadOnlyWithIt) {
    ASSERT_TRUE(simulator.memory().setPin("01234"));
    simulator.memory().setPinRequired(true);
    const std::string file = receiversFile("odbiornik.kvr");
    const std::string receiver = port();
    const struct {
        std::vector<std::string> extra;
        std::string input;
        int status;
        std::string err;
    } cases[] = {
        {{}, "", kDiffTrouble, "kvr: the receiver requires a PIN; give it with --pin NNNNN\n"},
        {{"--pin", "43210"}, "", kDiffTrouble, "kvr: wrong PIN\n"},
        {{"--pin", "-"}, "01234\n", kDiffSame, ""},
        {{"--pin", "-"}, "", kDiffTrouble, "kvr: diff: no PIN on standard input\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        std::vector<std::string> args{"diff", file, "--port", receiver};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const Outcome outcome = run(args, c.input);

        EXPECT_EQ(outcome.status, c.status);
        EXPECT_EQ(outcome.err, c.err);
        EXPECT_THAT(outcome.err, testing::Not(testing::HasSubstr("01234")));
    }
}

} // namespace
} // namespace konfigor::kvr
