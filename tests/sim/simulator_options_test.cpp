#include "link/requests.h"
#include "sim/simulator_options.h"

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using namespace std::chrono_literals;
using Args = std::vector<std::string_view>;
using ReplyDelays = std::map<std::uint8_t, std::chrono::milliseconds>;

std::variant<SimulatorOptions, OptionsError> parse(const Args& args) {
    return parseSimulatorOptions(args);
}

TEST(SimulatorOptionsTest, EveryOptionIsTaken) {
    const Args args = {"--link",      "/tmp/kvr",        "--firmware=3.12",  "--multi",
                       "--pin=01234", "--pin-required",  "--memory=a b.kvr", "--press-every",
                       "500",         "--wire-timing",   "--drop",           "0.02",
                       "--corrupt=1", "--duplicate=0.5", "--seed",           "18446744073709551615",
                       "--delay=40",  "--reply-delay",   "V=30,E=250"};
    const auto parsed = parse(args);
    ASSERT_TRUE(std::holds_alternative<SimulatorOptions>(parsed))
        << std::get<OptionsError>(parsed).message;
    const auto& options = std::get<SimulatorOptions>(parsed);
    EXPECT_EQ(options.link, std::filesystem::path("/tmp/kvr"));
    EXPECT_EQ(options.firmware.major, 3);
    EXPECT_EQ(options.firmware.minor, 12);
    EXPECT_TRUE(options.firmware.multi);
    EXPECT_EQ(options.pin, "01234");
    EXPECT_TRUE(options.pinRequired);
    EXPECT_EQ(options.memoryFile, std::filesystem::path("a b.kvr"));
    EXPECT_EQ(options.image, std::nullopt);
    EXPECT_EQ(options.pressEvery, 500ms);
    EXPECT_TRUE(options.wireTiming);
    EXPECT_EQ(options.dropProbability, 0.02);
    EXPECT_EQ(options.corruptProbability, 1.0);
    EXPECT_EQ(options.duplicateProbability, 0.5);
    EXPECT_EQ(options.seed, 18446744073709551615u);
    EXPECT_EQ(options.answerDelay, 40ms);
    EXPECT_EQ(options.replyDelays, (ReplyDelays{{'V', 30ms}, {'E', 250ms}}));
}

TEST(SimulatorOptionsTest, ReplyDelaysAreTakenByLetter) {
    struct Case {
        Args args;
        ReplyDelays delays;
    };
    const ReplyDelays everyLetter = {{'V', 1ms}, {'E', 2ms}, {'S', 3ms}, {'L', 4ms},
                                     {'C', 5ms}, {'D', 6ms}, {'P', 7ms}, {'R', 8ms}};
    const std::vector<Case> cases = {
        {{"--reply-delay=E=0"}, {{'E', 0ms}}},
        {{"--reply-delay", "V=1,E=2,S=3,L=4", "--reply-delay=C=5,D=6,P=7,R=8"}, everyLetter},
        {{"--reply-delay", "S=5", "--reply-delay", "C=7"}, {{'S', 5ms}, {'C', 7ms}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const auto parsed = parse(c.args);
        ASSERT_TRUE(std::holds_alternative<SimulatorOptions>(parsed))
            << std::get<OptionsError>(parsed).message;
        EXPECT_EQ(std::get<SimulatorOptions>(parsed).replyDelays, c.delays);
    }
}

TEST(SimulatorOptionsTest, NoOptionsMeanAPlainReceiverAnsweringAtOnce) {
    const auto parsed = parse({});
    ASSERT_TRUE(std::holds_alternative<SimulatorOptions>(parsed));
    const auto& options = std::get<SimulatorOptions>(parsed);
    EXPECT_EQ(options.firmware.major, 2);
    EXPECT_EQ(options.firmware.minor, 7);
    EXPECT_FALSE(options.firmware.multi);
    EXPECT_FALSE(options.link || options.pin || options.memoryFile || options.image ||
                 options.pressEvery);
    EXPECT_FALSE(options.wireTiming);
    EXPECT_EQ(options.dropProbability, 0.0);
    EXPECT_EQ(options.corruptProbability, 0.0);
    EXPECT_EQ(options.duplicateProbability, 0.0);
    EXPECT_EQ(options.seed, ReceiverSimulator::kDefaultSeed);
    EXPECT_TRUE(options.replyDelays.empty());
}

TEST(SimulatorOptionsTest, VersionNamesTheFirmwareOnlyWhenAVersionFollows) {
    struct Case {
        Args args;
        std::size_t at;
        bool firmware;
    };
    const std::vector<Case> cases = {
        {{"--version", "3.1"}, 0, true},
        {{"--version=3.1"}, 0, true},
        {{"--version=x"}, 0, true}, // a value, even a wrong one
        {{"--multi", "--version", "16.0"}, 1, true},
        {{"--version"}, 0, false},
        {{"--version", "--multi"}, 0, false},
        {{"--version", "3"}, 0, false},
        {{"--version", "3."}, 0, false},
        {{"--version", ".1"}, 0, false},
        {{"--version", "v3.1"}, 0, false},
        {{"--firmware", "3.1"}, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        EXPECT_EQ(isFirmwareVersion(c.args, c.at), c.firmware);
    }
    const auto parsed = parse({"--version", "3.1"});
    ASSERT_TRUE(std::holds_alternative<SimulatorOptions>(parsed));
    EXPECT_EQ(std::get<SimulatorOptions>(parsed).firmware.major, 3);
    EXPECT_EQ(std::get<SimulatorOptions>(parsed).firmware.minor, 1);
}

TEST(SimulatorOptionsTest, MistakesAreNamed) {
    struct Case {
        Args args;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"--bogus"}, "unknown option --bogus"},
        {{"stray"}, "unexpected argument stray"},
        {{"--link"}, "option --link needs a value"},
        {{"--link="}, "option --link needs a path"},
        {{"--multi=yes"}, "option --multi takes no value"},
        {{"--firmware", "2"}, "invalid value '2' for --firmware (expected X.Y, each 0-15)"},
        {{"--firmware", "2.x"}, "invalid value '2.x' for --firmware (expected X.Y, each 0-15)"},
        {{"--firmware", "16.0"}, "invalid value '16.0' for --firmware (expected X.Y, each 0-15)"},
        {{"--firmware", "2.7.1"}, "invalid value '2.7.1' for --firmware (expected X.Y, each 0-15)"},
        {{"--version", "16.0"}, "invalid value '16.0' for --version (expected X.Y, each 0-15)"},
        {{"--pin", "1234"}, "invalid value '1234' for --pin (expected five digits)"},
        {{"--pin", "12a45"}, "invalid value '12a45' for --pin (expected five digits)"},
        {{"--pin", "123456"}, "invalid value '123456' for --pin (expected five digits)"},
        {{"--press-every", "0"},
         "invalid value '0' for --press-every (expected milliseconds, at least 1)"},
        {{"--delay", "-5"}, "invalid value '-5' for --delay (expected milliseconds)"},
        {{"--drop", "2"}, "invalid value '2' for --drop (expected a probability from 0 to 1)"},
        {{"--drop", "-0.1"},
         "invalid value '-0.1' for --drop (expected a probability from 0 to 1)"},
        {{"--corrupt", "nan"},
         "invalid value 'nan' for --corrupt (expected a probability from 0 to 1)"},
        {{"--corrupt", "2%"},
         "invalid value '2%' for --corrupt (expected a probability from 0 to 1)"},
        {{"--duplicate", "1.5"},
         "invalid value '1.5' for --duplicate (expected a probability from 0 to 1)"},
        {{"--seed", "-1"}, "invalid value '-1' for --seed (expected a whole number)"},
        {{"--reply-delay", ""}, "option --reply-delay needs LETTER=MS items"},
        {{"--reply-delay="}, "option --reply-delay needs LETTER=MS items"},
        {{"--reply-delay", "V30"}, "invalid item 'V30' in --reply-delay (expected LETTER=MS)"},
        {{"--reply-delay", "=30"}, "invalid item '=30' in --reply-delay (expected LETTER=MS)"},
        {{"--reply-delay", "V=30,"}, "invalid item '' in --reply-delay (expected LETTER=MS)"},
        {{"--reply-delay", "X=30"},
         "unknown request letter 'X' in --reply-delay (expected one of V, E, S, L, C, D, P, R)"},
        {{"--reply-delay", "K=30"},
         "unknown request letter 'K' in --reply-delay (expected one of V, E, S, L, C, D, P, R)"},
        {{"--reply-delay", "v=30"},
         "unknown request letter 'v' in --reply-delay (expected one of V, E, S, L, C, D, P, R)"},
        {{"--reply-delay", "VE=30"},
         "unknown request letter 'VE' in --reply-delay (expected one of V, E, S, L, C, D, P, R)"},
        {{"--reply-delay", "V=abc"},
         "invalid delay 'abc' for V in --reply-delay (expected milliseconds)"},
        {{"--reply-delay", "E=250,V=-5"},
         "invalid delay '-5' for V in --reply-delay (expected milliseconds)"},
        {{"--reply-delay", "V="},
         "invalid delay '' for V in --reply-delay (expected milliseconds)"},
        {{"--reply-delay", "V=30ms"},
         "invalid delay '30ms' for V in --reply-delay (expected milliseconds)"},
        {{"--reply-delay", "V=30,V=40"}, "request letter V given twice in --reply-delay"},
        {{"--reply-delay", "V=30", "--reply-delay", "V=40"},
         "request letter V given twice in --reply-delay"},
        {{"--wire-timing=yes"}, "option --wire-timing takes no value"},
        {{"--no-wire-delay"}, "unknown option --no-wire-delay"},
        {{"--image="}, "option --image needs a path"},
        {{"--memory", "a.kvr", "--image", "a.bin"},
         "options --memory and --image exclude each other"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const auto parsed = parse(c.args);
        ASSERT_TRUE(std::holds_alternative<OptionsError>(parsed));
        EXPECT_EQ(std::get<OptionsError>(parsed).message, c.message);
    }
}

TEST(SimulatorOptionsTest, ConfiguresTheEngine) {
    SimulatorOptions options;
    options.firmware = {3, 1, true};
    options.pin = "24680";
    options.pinRequired = true;
    options.dropProbability = 1.0;
    ReceiverSimulator sim;
    configureSimulator(options, sim);

    EXPECT_EQ(sim.memory().pinText(), "24680");
    EXPECT_TRUE(sim.memory().isPinRequired());
    const ReceiverSimulator::Time now{5000};
    sim.receive(requests::requestVersion().bytes(), now);
    EXPECT_EQ(sim.nextOutputTime(), std::nullopt); // dropped
    sim.setDropProbability(0);
    sim.receive(requests::requestVersion().bytes(), now);
    const auto answer = sim.takeOutput(now); // no line time
    EXPECT_EQ(answer, (std::vector<std::uint8_t>{'M', 'X', 'Q', 0x31, 'M' ^ 'X' ^ 'Q' ^ 0x31}));

    options.wireTiming = true;
    configureSimulator(options, sim);
    sim.setDropProbability(0);
    sim.receive(requests::requestVersion().bytes(), now);
    EXPECT_TRUE(sim.takeOutput(now).empty());
}

TEST(SimulatorOptionsTest, ConfiguresDelaysByLetterAndDuplicates) {
    SimulatorOptions options;
    options.answerDelay = 5ms;
    options.replyDelays = {{'V', 30ms}};
    options.duplicateProbability = 1.0;
    ReceiverSimulator sim;
    configureSimulator(options, sim);

    const ReceiverSimulator::Time now{5000};
    sim.receive(requests::requestVersion().bytes(), now);
    EXPECT_EQ(sim.nextOutputTime(), now + 30ms);
    EXPECT_EQ(sim.takeOutput(now + 30ms).size(), 2 * 5u);
    sim.receive(requests::sendPing().bytes(), now + 100ms);
    EXPECT_EQ(sim.nextOutputTime(), now + 105ms);
}

} // namespace
} // namespace konfigor
