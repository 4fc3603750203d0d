// Two processes append to one log while a third trims it again and again: no line may be torn,
// and none may be lost except those the trims cut away from the old end.
#include "eventlog/events_log.h"
#include "support/temp_folder.h"
#include "texts/text_table.h"

#include <array>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace konfigor {
namespace {

using testing_support::TempFolderTest;

constexpr int kWriters = 2;
constexpr std::uint32_t kLinesPerWriter = 10'000;
constexpr std::size_t kKept = 1000;

// Each line names its writer (position) and its sequence number (serial and description).
EventRecord lineOf(int writer, std::uint32_t sequence) {
    EventRecord record;
    record.time = {2021, 6, 1, 8, 30, 0};
    record.position = writer + 1;
    record.description.assign("writer " + std::to_string(writer) + " line " +
                              std::to_string(sequence));
    record.button = 1;
    record.channelMask = 1;
    record.serialNumber = sequence;
    return record;
}

[[noreturn]] void appendAll(const std::filesystem::path& file, const std::string& header,
                            int writer) {
    const TextTable texts;
    EventsLog log(texts);
    log.open(file, header);
    for (std::uint32_t sequence = 0; sequence < kLinesPerWriter; ++sequence) {
        if (!log.add(true, lineOf(writer, sequence)))
            ::_exit(1);
        log.clear();
    }
    ::_exit(0);
}

class EventsLogProcesses : public TempFolderTest {};

TEST_F(EventsLogProcesses, TrimsNeverLoseOrTearConcurrentAppends) {
    const TextTable texts;
    const std::string header = eventLogHeader(texts);
    const std::filesystem::path file = path("log.txt");
    EventsLog trimmer(texts);
    ASSERT_TRUE(trimmer.open(file, header));

    std::array<pid_t, kWriters> children{};
    for (int writer = 0; writer < kWriters; ++writer) {
        children[static_cast<std::size_t>(writer)] = ::fork();
        ASSERT_GE(children[static_cast<std::size_t>(writer)], 0);
        if (children[static_cast<std::size_t>(writer)] == 0)
            appendAll(file, header, writer);
    }
    int running = kWriters;
    int trims = 0;
    while (running > 0) {
        trims += trimmer.loadLastAndTrim(file, kKept) ? 1 : 0;
        // Back to back the trims would starve the writers; a pause keeps the test short.
        ::usleep(500);
        for (pid_t& child : children) {
            int status = 0;
            if (child > 0 && ::waitpid(child, &status, WNOHANG) == child) {
                EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
                child = 0;
                --running;
            }
        }
    }
    RecordProperty("trims", trims);
    EXPECT_GT(trims, 0) << "no trim ran while the writers appended";

    std::ifstream in(file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string text = bytes.str();
    ASSERT_EQ(text.substr(0, header.size()), header);

    // Every line after the header is a whole event, and each writer's surviving lines are its
    // newest ones without a gap.
    std::array<std::optional<std::uint32_t>, kWriters> next{};
    std::size_t start = header.size();
    std::size_t lines = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "cut last line at " << start;
        const std::string_view line(text.data() + start, end + 1 - start);
        const auto record = parseEventLine(line);
        ASSERT_TRUE(record) << "torn line: " << line;
        ASSERT_GE(record->position, 1);
        ASSERT_LE(record->position, kWriters);
        const auto writer = static_cast<std::size_t>(record->position - 1);
        ASSERT_EQ(*record, lineOf(record->position - 1, record->serialNumber));
        if (next[writer]) {
            ASSERT_EQ(record->serialNumber, *next[writer])
                << "a line of writer " << writer << " is missing";
        }
        next[writer] = record->serialNumber + 1;
        start = end + 2;
        ++lines;
    }
    EXPECT_GE(lines, kKept);
    // A writer may have no line left when all of its lines came before the kept ones.
    for (const auto& following : next) {
        if (following) {
            EXPECT_EQ(*following, kLinesPerWriter) << "the newest lines are missing";
        }
    }
}

} // namespace
} // namespace konfigor
