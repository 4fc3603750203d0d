#include "kvr/search_commands.h"

#include "common/system_error.h"
#include "kvr/command_support.h"
#include "kvr/kvr_commands.h"
#include "kvr/secret_input.h"
#include "kvr/sheet_diff.h"
#include "search/settings_file_batch.h"
#include "search/settings_scan.h"
#include "session/pin_rules.h"
#include "sheet/image_transfer.h"
#include "sheet/serial_word.h"
#include "texts/text_table.h"

#include <algorithm>
#include <cerrno>
#include <nlohmann/json.hpp>
#include <sys/stat.h>

namespace konfigor::kvr {
namespace {

using Json = nlohmann::ordered_json;

// What a command over folders could not read: a path given that is not there, a folder it
// could not enter, a file it could not read.
struct Skipped {
    std::string kind;
    std::filesystem::path path;
    std::string error;
};

std::string onOneLine(std::string_view message) {
    std::string text = forTerminal(message);
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

// Paths given that are not there; the search itself passes over them without a word.
std::vector<std::filesystem::path> presentEntries(const std::vector<std::filesystem::path>& given,
                                                  std::vector<Skipped>& skipped) {
    std::vector<std::filesystem::path> present;
    for (const std::filesystem::path& path : given) {
        struct stat status {};
        const int error = ::stat(path.c_str(), &status) == 0 ? 0 : errno;
        if (error == ENOENT || error == ENOTDIR)
            skipped.push_back({"missing", path, systemErrorText(error)});
        else
            present.push_back(path);
    }
    return present;
}

void addSkipped(const std::vector<ScanSkip>& scanSkips, std::vector<Skipped>& skipped) {
    for (const ScanSkip& skip : scanSkips) {
        const bool folder = skip.kind == ScanSkip::Kind::Folder;
        skipped.push_back({folder ? "folder" : "file", skip.path, forTerminal(skip.error)});
    }
}

// Named on the error stream whatever the output's form: the results alone are not the whole
// story when part of a tree could not be read.
void reportSkipped(const std::vector<Skipped>& skipped, std::ostream& err) {
    for (const Skipped& skip : skipped) {
        if (skip.kind == "file")
            err << "kvr: skipped: " << onOneLine(skip.error) << '\n';
        else
            err << "kvr: skipped " << (skip.kind == "folder" ? "folder " : "") << skip.path.string()
                << ": " << skip.error << '\n';
    }
}

Json skippedJson(const std::vector<Skipped>& skipped) {
    Json list = Json::array();
    for (const Skipped& skip : skipped)
        list.push_back(
            Json{{"kind", skip.kind}, {"path", skip.path.string()}, {"error", skip.error}});
    return list;
}

int writeOut(const std::string& text, std::ostream& out, std::ostream& err) {
    if (out.write(text.data(), static_cast<std::streamsize>(text.size())).flush())
        return kExitSuccess;
    err << "kvr: cannot write to standard output\n";
    return kExitFileError;
}

// --- find ---

struct Hit {
    std::size_t position;
    std::uint32_t serialWord;
    std::string description;
};

std::string findText(const std::vector<std::filesystem::path>& files,
                     const std::vector<std::vector<Hit>>& hits) {
    std::string text;
    for (std::size_t index = 0; index < files.size(); ++index) {
        for (const Hit& hit : hits[index]) {
            text += files[index].string() + ':' + std::to_string(hit.position) + ": " +
                    serial_word::formatSerial(hit.serialWord);
            if (!hit.description.empty())
                text += "  " + onOneLine(hit.description);
            text += '\n';
        }
    }
    return text;
}

std::string findJson(std::uint32_t serial, const std::vector<std::filesystem::path>& files,
                     const std::vector<std::vector<Hit>>& hits,
                     const std::vector<Skipped>& skipped) {
    Json found = Json::array();
    for (std::size_t index = 0; index < files.size(); ++index) {
        for (const Hit& hit : hits[index])
            found.push_back(Json{{"file", files[index].string()},
                                 {"position", hit.position},
                                 {"serialWord", hit.serialWord},
                                 {"multi", serial_word::isMulti(hit.serialWord)},
                                 {"description", hit.description}});
    }
    const Json document{
        {"serial", serial}, {"found", std::move(found)}, {"skipped", skippedJson(skipped)}};
    return document.dump() + '\n';
}

// --- diff ---

std::string sideName(const DiffSide& side) {
    return side.receiver ? "--port " + side.path : side.path;
}

std::optional<SettingsSheet> receiverSheet(const std::string& port, std::optional<std::string> pin,
                                           std::ostream& err, const ReceiverCommandOptions& options,
                                           int inputFd) {
    if (pin == kPinFromInput) {
        pin = readSecretLine(inputFd, err, "PIN: ");
        if (!pin || !isFullPin(*pin)) {
            err << "kvr: diff: " << (pin ? "the PIN is five digits" : "no PIN on standard input")
                << '\n';
            return std::nullopt;
        }
    }
    ReceiverSession session(options.limits);
    std::optional<std::string> failure = session.open(port);
    if (!failure)
        failure = session.checkPin(pin);
    if (!failure)
        failure = session.readMemory({});
    if (failure) {
        err << "kvr: " << *failure << '\n';
        return std::nullopt;
    }
    SettingsSheet sheet;
    copyImageToSheet(session.memory(), sheet);
    return sheet;
}

std::optional<SettingsSheet> sideSheet(const DiffSide& side, const DiffRequest& request,
                                       std::ostream& err, const ReceiverCommandOptions& options,
                                       int inputFd) {
    if (side.receiver)
        return receiverSheet(side.path, request.pin, err, options, inputFd);
    const TextTable texts;
    auto loaded = loadSheet(side.path, texts, err);
    if (!loaded)
        return std::nullopt;
    return std::move(loaded->sheet);
}

Json diffValueJson(const DiffValue& value) {
    return std::visit(
        [](const auto& v) -> Json {
            using V = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<V, std::array<std::uint16_t, 4>>)
                return Json(std::vector<std::uint16_t>(v.begin(), v.end()));
            else
                return Json(v);
        },
        value);
}

std::string diffJson(const DiffRequest& request, const std::vector<SheetDifference>& differences,
                     bool withDescriptions) {
    Json list = Json::array();
    for (const SheetDifference& difference : differences) {
        Json item = Json::object();
        if (difference.place == SheetDifference::Place::Remote)
            item["position"] = difference.number;
        else if (difference.place == SheetDifference::Place::Channel)
            item["channel"] = difference.number;
        item["field"] = fieldKey(difference.field);
        item["a"] = diffValueJson(difference.a);
        item["b"] = diffValueJson(difference.b);
        list.push_back(std::move(item));
    }
    const Json document{{"a", sideName(request.sides[0])},
                        {"b", sideName(request.sides[1])},
                        {"descriptionsCompared", withDescriptions},
                        {"equal", differences.empty()},
                        {"differences", std::move(list)}};
    return document.dump() + '\n';
}

} // namespace

int runMatch(const MatchRequest& request, std::ostream& out, std::ostream& err) {
    const TextTable texts;
    const auto loaded = loadSheet(request.sheet, texts, err);
    if (!loaded)
        return kExitFileError;
    std::vector<Skipped> skipped;
    const SettingsScan scan({.entries = presentEntries(request.folders, skipped),
                             .sheet = loaded->sheet,
                             .criteria = SearchCriteria{},
                             .workers = 0},
                            texts);
    const ScanOutcome outcome = scan.run();
    addSkipped(outcome.skipped, skipped);
    reportSkipped(skipped, err);

    std::string text;
    if (request.json) {
        Json results = Json::array();
        for (const ScanResult& result : outcome.results)
            results.push_back(Json{{"file", result.path.string()},
                                   {"score", result.score},
                                   {"shown", scoreText(result.score)}});
        text = Json{{"sheet", request.sheet.string()},
                    {"results", std::move(results)},
                    {"skipped", skippedJson(skipped)}}
                   .dump() +
               '\n';
    } else {
        for (const ScanResult& result : outcome.results)
            text += scoreText(result.score) + "  " + result.path.string() + '\n';
    }
    if (const int status = writeOut(text, out, err); status != kExitSuccess)
        return status;
    if (outcome.results.empty()) {
        err << "kvr: no settings file could be scored\n";
        return kExitFileError;
    }
    return kExitSuccess;
}

int runFind(const FindRequest& request, std::ostream& out, std::ostream& err) {
    const TextTable texts;
    std::vector<Skipped> skipped;
    const FoundFiles found = findSettingsFiles(presentEntries(request.folders, skipped));
    std::vector<std::vector<Hit>> hits(found.files.size());
    const BatchOutcome read = SettingsFileBatch(texts, 0).read(found.files, [&](std::size_t index,
                                                                                const SettingsSheet&
                                                                                    sheet) {
        for (std::size_t slot = 0; slot < sheet.remotes.size(); ++slot) {
            const RemoteEntry& remote = sheet.remotes[slot];
            if (!remote.isEmpty() &&
                serial_word::serialNumber(remote.serialWord) == request.serialNumber)
                hits[index].push_back({slot + 1, remote.serialWord, remote.description.toUtf8()});
        }
    });
    std::vector<ScanSkip> scanSkips = found.skipped;
    for (std::size_t index = 0; index < found.files.size(); ++index) {
        if (read.errors[index])
            scanSkips.push_back({ScanSkip::Kind::File, found.files[index], *read.errors[index]});
    }
    addSkipped(scanSkips, skipped);
    reportSkipped(skipped, err);

    const std::string text = request.json
                                 ? findJson(request.serialNumber, found.files, hits, skipped)
                                 : findText(found.files, hits);
    if (const int status = writeOut(text, out, err); status != kExitSuccess)
        return status;
    const bool anyFound =
        std::any_of(hits.begin(), hits.end(), [](const auto& list) { return !list.empty(); });
    return anyFound ? kExitSuccess : kExitFileError;
}

int runDiff(const DiffRequest& request, std::ostream& out, std::ostream& err,
            const ReceiverCommandOptions& options, int inputFd) {
    const auto a = sideSheet(request.sides[0], request, err, options, inputFd);
    if (!a)
        return kDiffTrouble;
    const auto b = sideSheet(request.sides[1], request, err, options, inputFd);
    if (!b)
        return kDiffTrouble;
    // A receiver keeps no descriptions: they would all differ.
    const bool withDescriptions = !request.sides[0].receiver && !request.sides[1].receiver;
    const std::vector<SheetDifference> differences = sheetDifferences(*a, *b, withDescriptions);

    std::string text;
    if (request.json) {
        text = diffJson(request, differences, withDescriptions);
    } else {
        for (const SheetDifference& difference : differences)
            text += differenceLine(difference) + '\n';
    }
    if (writeOut(text, out, err) != kExitSuccess)
        return kDiffTrouble;
    return differences.empty() ? kDiffSame : kDiffDifferent;
}

} // namespace konfigor::kvr
