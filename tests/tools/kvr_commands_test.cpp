#include "files/settings_file.h"
#include "kvr/kvr_commands.h"
#include "sheet/serial_word.h"
#include "texts/text_table.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace konfigor::kvr {
namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;
using testing::Not;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

// Remotes in first, middle and last slots, multi and not, locked and not; every channel mode.
SettingsSheet sampleSheet() {
    SettingsSheet sheet;
    RemoteEntry& gate = sheet.remotes[0];
    gate.serialWord = 123;
    gate.codeCounter = 17;
    gate.buttonMasks = {5, 2, 0, 8};
    gate.copyLock = false;
    gate.description.assignUtf8("Brama wjazdowa — Łódź, ul. Żółkiewskiego");
    RemoteEntry& multi = sheet.remotes[41];
    // Bits 28 and 29 travel unchanged.
    multi.serialWord = 0x3000'0000 | serial_word::withMulti(0x00AB'CDEF, true);
    multi.codeCounter = 0xFFFF;
    multi.buttonMasks = {15, 15, 15, 15};
    multi.description.assignUtf8("Garaż \"pod lipą\"\nsąsiad");
    RemoteEntry& last = sheet.remotes[703];
    last.serialWord = serial_word::kNumberMask;
    last.description.assignUtf8("Furtka");

    sheet.channels[0].time = 0;
    sheet.channels[0].doublePress = true;
    sheet.channels[0].description.assignUtf8("Brama główna");
    sheet.channels[1].transientMode = true;
    sheet.channels[2].time = 0xFFFF;
    sheet.identifier.assignUtf8("Osiedle Zielone — śluza");
    return sheet;
}

std::string repeated(std::string_view text, std::size_t times) {
    std::string result;
    for (std::size_t i = 0; i < times; ++i)
        result += text;
    return result;
}

// Texts of the longest length a settings file holds.
void fillTextsToTheLimit(SettingsSheet& sheet) {
    sheet.remotes[1].serialWord = 5;
    sheet.remotes[1].description.assignUtf8(repeated("ż", 255));
    sheet.channels[3].description.assign(std::string(200, 'k'));
    sheet.identifier.assign(std::string(255, 'i'));
}

// Empty slots that still hold something: only an export of all slots keeps them.
void leaveTracesInEmptySlots(SettingsSheet& sheet) {
    RemoteEntry& removed = sheet.remotes[5];
    removed.description.assignUtf8("stary pilot");
    removed.copyLock = false;
    removed.codeCounter = 9;
    removed.buttonMasks = {1, 0, 0, 0};
    sheet.remotes[6].copyLock = false;
}

class KvrCommands : public testing::Test {
protected:
    void SetUp() override {
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() / ("kvr_tests_" + std::string(test->name()) + '_' +
                                            std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path path(std::string_view name) const { return dir_ / name; }

    Outcome run(std::vector<std::string> args) const {
        const std::vector<std::string_view> words(args.begin(), args.end());
        std::ostringstream out;
        std::ostringstream err;
        const int status = runKvr(words, out, err);
        return {status, out.str(), err.str()};
    }

    fs::path writeSheet(std::string_view name, const SettingsSheet& sheet) const {
        const fs::path file = path(name);
        const auto failure =
            SettingsFile(texts_).write(file, sheet.remotes, sheet.channels, sheet.identifier);
        EXPECT_FALSE(failure) << *failure;
        return file;
    }

    fs::path writeText(std::string_view name, std::string_view text) const {
        const fs::path file = path(name);
        std::ofstream(file, std::ios::binary) << text;
        return file;
    }

    static std::string contents(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    std::vector<fs::path> filesInDir() const {
        return {fs::directory_iterator(dir_), fs::directory_iterator()};
    }

    TextTable texts_;
    fs::path dir_;
};

TEST_F(KvrCommands, ExportThenImportGivesTheSameFileByteForByte) {
    SettingsSheet withTraces = sampleSheet();
    fillTextsToTheLimit(withTraces);
    leaveTracesInEmptySlots(withTraces);
    SettingsSheet clean = sampleSheet();
    fillTextsToTheLimit(clean);
    const struct {
        std::string name;
        SettingsSheet sheet;
        std::vector<std::string> exportFlags;
    } cases[] = {
        {"all slots", withTraces, {"--all"}},
        {"used slots", clean, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path original = writeSheet("original.kvr", c.sheet);
        std::vector<std::string> exportArgs{"export", original.string(), "-o",
                                            path("sheet.json").string()};
        exportArgs.insert(exportArgs.end(), c.exportFlags.begin(), c.exportFlags.end());

        const Outcome exported = run(exportArgs);
        const Outcome imported =
            run({"import", path("sheet.json").string(), "-o", path("copy.kvr").string()});

        ASSERT_EQ(exported.status, kExitSuccess) << exported.err;
        ASSERT_EQ(imported.status, kExitSuccess) << imported.err;
        EXPECT_EQ(exported.out, "");
        EXPECT_EQ(contents(path("copy.kvr")), contents(original));
    }
}

TEST_F(KvrCommands, ExportWithoutAllDropsTracesOfEmptySlots) {
    SettingsSheet sheet = sampleSheet();
    leaveTracesInEmptySlots(sheet);
    const fs::path original = writeSheet("original.kvr", sheet);

    const Outcome exported = run({"export", original.string()});

    ASSERT_EQ(exported.status, kExitSuccess) << exported.err;
    EXPECT_THAT(exported.out, HasSubstr(R"("position":42,)"));
    EXPECT_THAT(exported.out, Not(HasSubstr("stary pilot")));
    EXPECT_EQ(exported.out.back(), '\n');
}

TEST_F(KvrCommands, ExportsCsv) {
    const fs::path original = writeSheet("original.kvr", sampleSheet());

    const Outcome exported = run({"export", "--csv", original.string()});

    ASSERT_EQ(exported.status, kExitSuccess) << exported.err;
    EXPECT_THAT(exported.out,
                HasSubstr("\r\n42,(M) 11259375,true,\"Garaż \"\"pod lipą\"\"\nsąsiad\","
                          "1234,1234,1234,1234,true,65535\r\n"));
}

TEST_F(KvrCommands, RefusedImportsWriteNothing) {
    const std::string tooLong(256, 'x');
    const struct {
        std::string json;
        std::string message;
    } cases[] = {
        {R"({"remotes":[)", "not valid JSON: "},
        {R"([])", "the document must be a JSON object"},
        {R"({"remotes":[{"position":0,"serial":5}]})", "remotes[0].position: must be 1..704"},
        {R"({"remotes":[{"position":705,"serial":5}]})", "remotes[0].position: must be 1..704"},
        {R"({"remotes":[{"position":1.5,"serial":5}]})",
         "remotes[0].position: must be an integer 1..704"},
        {R"({"remotes":[{"serial":5}]})", "remotes[0].position: missing"},
        {R"({"remotes":[{"position":3,"serial":5},{"position":3,"serial":6}]})",
         "remotes[1].position: 3 is listed twice"},
        {R"({"remotes":[{"position":1,"serial":5,"buttons":[0,0,16,0]}]})",
         "remotes[0].buttons[2]: must be 0..15"},
        {R"({"remotes":[{"position":1,"serial":5,"buttons":[0,0,-1,0]}]})",
         "remotes[0].buttons[2]: must be 0..15"},
        {R"({"remotes":[{"position":1,"serial":5,"buttons":[1,2,3]}]})",
         "remotes[0].buttons: must be an array of 4 masks"},
        {R"({"remotes":[{"position":1,"serial":0}]})", "remotes[0].serial: must be 1..268435455"},
        {R"({"remotes":[{"position":1}]})", "remotes[0]: needs serialWord or serial"},
        {R"({"remotes":[{"position":1,"serialWord":2147483648}]})",
         "remotes[0].serialWord: must be 0..2147483647"},
        {R"({"remotes":[{"position":1,"serialWord":5,"multi":true}]})",
         "remotes[0].multi: does not match serialWord"},
        {R"({"remotes":[{"position":1,"serialWord":5,"serial":6}]})",
         "remotes[0].serial: does not match serialWord"},
        {R"({"remotes":[{"position":1,"serial":5,"codeCounter":65536}]})",
         "remotes[0].codeCounter: must be 0..65535"},
        {R"({"remotes":[{"position":1,"serial":5,"copyLock":1}]})",
         "remotes[0].copyLock: must be true or false"},
        {R"({"remotes":[{"position":1,"serial":5,"colour":"red"}]})",
         "remotes[0].colour: unknown key"},
        {R"({"remote":[]})", "remote: unknown key"},
        {R"({"identifier":"a","identifier":"b"})", R"(key "identifier" appears twice)"},
        {R"({"remotes":[{"position":1,"serial":5,"description":")" + tooLong + R"("}]})",
         "remotes[0].description: must be at most 255 characters long"},
        {R"({"remotes":[{"position":1,"serial":5,"description":"😀"}]})",
         "remotes[0].description: has characters that code page 1250 cannot hold"},
        {R"({"remotes":[{"position":1,"serial":5,"description":"a\u0000b"}]})",
         "remotes[0].description: must not contain U+0000"},
        {R"({"channels":[{"channel":1,"description":")" + std::string(201, 'x') + R"("}]})",
         "channels[0].description: must be at most 200 characters long"},
        {R"({"identifier":")" + tooLong + R"("})", "identifier: must be at most 255 characters"},
        {R"({"channels":[{"channel":5}]})", "channels[0].channel: must be 1..4"},
        {R"({"channels":[{"channel":2},{"channel":2}]})", "channels[1].channel: 2 is listed twice"},
        {R"({"channels":[{"channel":1,"time":70000}]})", "channels[0].time: must be 0..65535"},
        {R"({"channels":{}})", "channels: must be an array"},
    };
    const fs::path json = path("in.json");
    const fs::path output = path("out.kvr");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        writeText("in.json", c.json);

        const Outcome outcome = run({"import", json.string(), "-o", output.string()});

        EXPECT_EQ(outcome.status, kExitUsage);
        EXPECT_THAT(outcome.err, testing::StartsWith("kvr: " + c.message));
        EXPECT_EQ(filesInDir(), std::vector{json});
    }
}

TEST_F(KvrCommands, RefusedImportLeavesAnOldOutputAsItWas) {
    const fs::path output = writeText("out.kvr", "old");
    const fs::path json = writeText("in.json", R"({"remotes":[{"position":0}]})");

    EXPECT_EQ(run({"import", json.string(), "-o", output.string()}).status, kExitUsage);
    EXPECT_EQ(contents(output), "old");
}

TEST_F(KvrCommands, ShowPrintsRemotesChannelsAndIdentifier) {
    const fs::path file = writeSheet("sheet.kvr", sampleSheet());

    const Outcome shown = run({"show", file.string()});

    ASSERT_EQ(shown.status, kExitSuccess) << shown.err;
    EXPECT_EQ(shown.err, "");
    const std::string& out = shown.out;
    EXPECT_THAT(out, testing::StartsWith("Nr p.  Numer seryjny"));
    EXPECT_THAT(out, testing::ContainsRegex("\n1 +123 +Brama wjazdowa — Łódź, ul. Żółkiewskiego +"
                                            "1,3 +2 +- +4 +Nie\n"));
    // The line break of the description does not break the row.
    EXPECT_THAT(out, testing::ContainsRegex("\n42 +\\(M\\) 11259375 +Garaż \"pod lipą\" sąsiad +"
                                            "1,2,3,4 +1,2,3,4 +1,2,3,4 +1,2,3,4 +Tak\n"));
    EXPECT_THAT(out, testing::ContainsRegex("\n704 +268435455 +Furtka "));
    EXPECT_THAT(out, testing::ContainsRegex("\n1 +Brama główna +Bistabilny +Tak\n"));
    EXPECT_THAT(out, testing::ContainsRegex("\n2 +Chwilowy +Nie\n"));
    EXPECT_THAT(out, testing::ContainsRegex("\n3 +Monostabilny \\[6553.5\\] +Nie\n"));
    EXPECT_THAT(out, HasSubstr("\nIdentyfikator odbiornika KVR ZOR: Osiedle Zielone — śluza\n"));
    const std::string remoteTable = out.substr(0, out.find("\n\n"));
    EXPECT_EQ(std::count(remoteTable.begin(), remoteTable.end(), '\n'), 3) << "one row per remote";
}

TEST_F(KvrCommands, ShowWarnsAboutANewerFileAndGoesOn) {
    const fs::path file = writeText("newer.kvr", std::string("\x00\x80\x02\x00\x03\x00", 6));

    const Outcome shown = run({"show", file.string()});

    EXPECT_EQ(shown.status, kExitSuccess);
    EXPECT_THAT(shown.err, HasSubstr("kvr: warning: Wersja pliku jest nowsza"));
    EXPECT_THAT(shown.err, Not(HasSubstr("\n\n")));
    EXPECT_THAT(shown.out, HasSubstr("Monostabilny [0.5]"));
}

TEST_F(KvrCommands, MissingInputIsAFileError) {
    const std::string missing = path("missing.kvr").string();
    for (const auto& args : {std::vector<std::string>{"show", missing},
                             std::vector<std::string>{"export", missing, "--csv"}}) {
        SCOPED_TRACE(args.front());
        const Outcome outcome = run(args);

        EXPECT_EQ(outcome.status, kExitFileError);
        EXPECT_EQ(outcome.out, "");
        EXPECT_THAT(outcome.err, testing::StartsWith("kvr: Błąd otwierania pliku."));
        EXPECT_THAT(outcome.err, HasSubstr("\nNazwa pliku: " + missing + "\n"));
        EXPECT_THAT(outcome.err, Not(HasSubstr("\r")));
    }
    const Outcome imported =
        run({"import", path("missing.json").string(), "-o", path("out.kvr").string()});
    EXPECT_EQ(imported.status, kExitFileError);
    EXPECT_THAT(imported.err, HasSubstr("missing.json: No such file or directory"));
}

TEST_F(KvrCommands, UsageErrorsExitWithTwoAndAHint) {
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{}, "no command given"},
        {{"frobnicate"}, "unknown command frobnicate"},
        {{"show"}, "show: missing FILE.kvr"},
        {{"show", "a.kvr", "b.kvr"}, "show: unexpected argument b.kvr"},
        {{"show", "a.kvr", "-o", "x"}, "show: writes to standard output only; -o does not apply"},
        {{"export", "a.kvr", "--xml"}, "export: unknown option --xml"},
        {{"export", "a.kvr", "--json", "--csv"}, "export: choose one of --json and --csv"},
        {{"export", "a.kvr", "-o"}, "option -o needs a file name"},
        {{"export", "a.kvr", "-o", "x", "-o", "y"}, "option -o given twice"},
        {{"import", "a.json"}, "import: missing -o OUT.kvr"},
        {{"show", "a.kvr", "--port", "p"}, "show: unknown option --port"},
        {{"ports", "x"}, "ports: unexpected argument x"},
        {{"info"}, "info: missing --port PATH"},
        {{"info", "--port"}, "option --port needs a port path"},
        {{"info", "--port", "p", "--verify"}, "info: unknown option --verify"},
        {{"read", "--port", "p"}, "read: missing -o FILE.kvr or --image FILE.bin"},
        {{"read", "--port", "p", "-o", "a.kvr", "--image", "a.bin"},
         "read: choose one of -o FILE.kvr and --image FILE.bin"},
        {{"write", "--port", "p"}, "write: missing FILE.kvr"},
        {{"write", "--port", "p", "a.kvr", "-o", "b.kvr"}, "write: unknown option -o"},
        {{"write", "--port", "p", "a.kvr", "--pin", "1234"}, "write: the PIN is five digits"},
        {{"read", "--port", "p", "-o", "a.kvr", "--pin", "12a45"}, "read: the PIN is five digits"},
        {{"pin", "--port", "p"}, "pin: missing --new NNNNN or --off"},
        {{"pin", "--port", "p", "--new", "54321", "--off"},
         "pin: choose one of --new NNNNN and --off"},
        {{"pin", "--port", "p", "--new", "5432"}, "pin: the new PIN is five digits"},
        {{"pin", "--port", "p", "--new", "00000"}, "pin: the new PIN cannot be all zeros"},
        {{"pin", "--port", "p", "--off", "--new"}, "option --new needs a PIN"},
        {{"info", "--port", "p", "--new", "54321"}, "info: unknown option --new"},
        // A PIN where none belongs is not shown back.
        {{"pin", "--port", "p", "--pin", "00123", "54321"},
         "pin: unexpected argument (a number, not shown)"},
        // The commands over settings files and folders.
        {{"match"}, "match: missing SHEET.kvr"},
        {{"match", "a.kvr"}, "match: missing FOLDER"},
        {{"match", "a.kvr", "d", "--port", "p"}, "match: unknown option --port"},
        {{"find", "d"}, "find: SERIAL must be a number from 1 to 268435455"},
        {{"find", "0", "d"}, "find: SERIAL must be a number from 1 to 268435455"},
        {{"find", "268435456", "d"}, "find: SERIAL must be a number from 1 to 268435455"},
        {{"find", "12a", "d"}, "find: SERIAL must be a number from 1 to 268435455"},
        {{"find", "5"}, "find: missing FOLDER"},
        {{"find", "5", "d", "--csv"}, "find: unknown option --csv"},
        {{"diff", "a.kvr"}, "diff: compares two of FILE.kvr and --port PORT"},
        {{"diff", "a.kvr", "b.kvr", "c.kvr"}, "diff: compares two of FILE.kvr and --port PORT"},
        {{"diff", "--port", "p", "--port", "q"}, "option --port given twice"},
        {{"diff", "a.kvr", "--port"}, "option --port needs a port path"},
        {{"diff", "a.kvr", "b.kvr", "--pin", "12345"},
         "diff: --pin is for a receiver, given with --port"},
        {{"diff", "a.kvr", "--port", "p", "--pin", "1234"}, "diff: the PIN is five digits"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        const Outcome outcome = run(c.args);

        EXPECT_EQ(outcome.status, kExitUsage);
        EXPECT_THAT(outcome.err, testing::StartsWith("kvr: " + c.message + "\nUsage: kvr show"));
        EXPECT_EQ(outcome.out, "");
    }
}

} // namespace
} // namespace konfigor::kvr
