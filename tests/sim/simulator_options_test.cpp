#include "kvr-sim/simulator_options.h"
#include "link/requests.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using namespace std::chrono_literals;
using Args = std::vector<std::string_view>;

std::variant<SimulatorOptions, OptionsError> parse(const Args& args) {
    return parseSimulatorOptions(args);
}

TEST(SimulatorOptionsTest, EveryOptionIsTaken) {
    const auto parsed = parse({"--link", "/tmp/kvr", "--firmware=3.12", "--multi", "--pin", "01234",
                               "--pin-required", "--sheet=a b.kvr", "--press-every", "500",
                               "--no-wire-delay", "--drop", "2", "--corrupt=3", "--delay", "40"});
    ASSERT_TRUE(std::holds_alternative<SimulatorOptions>(parsed))
        << std::get<OptionsError>(parsed).message;
    const auto& options = std::get<SimulatorOptions>(parsed);
    EXPECT_EQ(options.link, std::filesystem::path("/tmp/kvr"));
    EXPECT_EQ(options.firmware.major, 3);
    EXPECT_EQ(options.firmware.minor, 12);
    EXPECT_TRUE(options.firmware.multi);
    EXPECT_EQ(options.pin, "01234");
    EXPECT_TRUE(options.pinRequired);
    EXPECT_EQ(options.sheet, std::filesystem::path("a b.kvr"));
    EXPECT_EQ(options.pressEvery, 500ms);
    EXPECT_FALSE(options.wireDelay);
    EXPECT_EQ(options.dropFrames, 2u);
    EXPECT_EQ(options.corruptFrames, 3u);
    EXPECT_EQ(options.answerDelay, 40ms);
}

TEST(SimulatorOptionsTest, NoOptionsMeanAPlainReceiver) {
    const auto parsed = parse({});
    ASSERT_TRUE(std::holds_alternative<SimulatorOptions>(parsed));
    const auto& options = std::get<SimulatorOptions>(parsed);
    EXPECT_EQ(options.firmware.major, 2);
    EXPECT_EQ(options.firmware.minor, 7);
    EXPECT_FALSE(options.firmware.multi);
    EXPECT_FALSE(options.link || options.pin || options.sheet || options.pressEvery);
    EXPECT_TRUE(options.wireDelay);
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
        {{"--pin", "1234"}, "invalid value '1234' for --pin (expected five digits)"},
        {{"--pin", "12a45"}, "invalid value '12a45' for --pin (expected five digits)"},
        {{"--pin", "123456"}, "invalid value '123456' for --pin (expected five digits)"},
        {{"--press-every", "0"},
         "invalid value '0' for --press-every (expected milliseconds, at least 1)"},
        {{"--delay", "-5"}, "invalid value '-5' for --delay (expected milliseconds)"},
        {{"--drop", "two"}, "invalid value 'two' for --drop (expected a whole number)"},
        {{"--corrupt", "99999999999"},
         "invalid value '99999999999' for --corrupt (expected a whole number)"},
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
    options.wireDelay = false;
    options.dropFrames = 1;
    ReceiverSimulator sim;
    configureSimulator(options, sim);

    EXPECT_EQ(sim.memory().pinText(), "24680");
    EXPECT_TRUE(sim.memory().isPinRequired());
    const ReceiverSimulator::Time now{5000};
    sim.receive(requests::requestVersion().bytes(), now);
    EXPECT_EQ(sim.nextOutputTime(), std::nullopt); // the first answer is dropped
    sim.receive(requests::requestVersion().bytes(), now);
    const auto answer = sim.takeOutput(now); // no line time
    EXPECT_EQ(answer, (std::vector<std::uint8_t>{'M', 'X', 'Q', 0x31, 'M' ^ 'X' ^ 'Q' ^ 0x31}));
}

} // namespace
} // namespace konfigor
