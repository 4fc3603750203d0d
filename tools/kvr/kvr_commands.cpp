#include "kvr/kvr_commands.h"

#include "common/system_error.h"
#include "eventlog/events_log.h"
#include "files/settings_file.h"
#include "kvr/command_support.h"
#include "kvr/event_table.h"
#include "kvr/receiver_commands.h"
#include "kvr/search_commands.h"
#include "kvr/secret_input.h"
#include "kvr/sheet_csv.h"
#include "kvr/sheet_json.h"
#include "kvr/sheet_json_import.h"
#include "kvr/sheet_table.h"
#include "link/udev_port_source.h"
#include "texts/text_table.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <fstream>
#include <optional>
#include <sstream>

namespace konfigor::kvr {
namespace {

constexpr std::string_view kSynopsis = R"(Usage: kvr show FILE.kvr
       kvr export FILE.kvr [--json|--csv] [--all] [-o OUT]
       kvr import IN.json -o OUT.kvr
       kvr ports
       kvr info --port PORT [--pin NNNNN]
       kvr read --port PORT (-o FILE.kvr | --image FILE.bin) [--verify] [--pin NNNNN]
       kvr write --port PORT FILE.kvr [--verify] [--pin NNNNN]
       kvr pin --port PORT (--new NNNNN | --off) [--pin NNNNN]
       kvr events LOG [--last N] [--csv]
       kvr match SHEET.kvr FOLDER... [--json]
       kvr find SERIAL FOLDER... [--json]
       kvr diff (A.kvr | --port PORT) (B.kvr | --port PORT) [--pin NNNNN] [--json]
       kvr report FILE.kvr -o OUT.pdf
)";

constexpr std::string_view kHelp =
    R"(Usage: kvr [--help] [--version] <command> [arguments]

Command-line companion of Konfigor USB for KVR ZOR receivers.

Commands:
  show FILE.kvr
      print the settings file as tables
  export FILE.kvr [--json|--csv] [--all] [-o OUT]
      write the settings file as JSON (the default) or CSV to standard output or OUT;
      --all lists the empty slots too
  import IN.json -o OUT.kvr
      write a settings file from JSON as export writes it; anything that cannot be kept
      exactly (an unknown key, a value out of range, a text too long) is refused
  ports
      list the programming interfaces connected to this computer
  info --port PORT [--pin NNNNN]
      print the receiver's firmware version, whether it is the multi variant and whether it
      requires a PIN; a PIN given is checked
  read --port PORT (-o FILE.kvr | --image FILE.bin) [--verify] [--pin NNNNN]
      read the receiver's whole memory into a settings file (without descriptions), or
      write its 7072 bytes unchanged to FILE.bin; --verify reads it twice and saves
      nothing unless both readings agree
  write --port PORT FILE.kvr [--verify] [--pin NNNNN]
      write the remotes and channels of the settings file to the receiver; its PIN, copy
      locks and other settings stay (only its configuration page is read first); --verify
      reads everything back and compares
  pin --port PORT (--new NNNNN | --off) [--pin NNNNN]
      require the new five-digit PIN (not 00000) from now on, or switch the requirement off
      keeping the digits; only the configuration page is written, then read back and compared
  events LOG [--last N] [--csv]
      print the newest N events (default 5000) of an event log file as a table, or as CSV
      with a header row; the file is only read
  match SHEET.kvr FOLDER... [--json]
      score every settings file under the folders against SHEET.kvr as the program's
      description search does with its default criteria (channel times and serial numbers),
      best first; status 1 when no file could be scored
  find SERIAL FOLDER... [--json]
      list every settings file and position under the folders holding the remote with that
      serial number; status 0 when found, 1 when not
  diff (A.kvr | --port PORT) (B.kvr | --port PORT) [--pin NNNNN] [--json]
      list slot by slot and channel by channel where two sheets differ: serial numbers,
      buttons, copy locks, channel settings, and descriptions when both are files; a
      receiver's whole memory is read first; status 0 when equal, 1 when they differ, 2 on
      trouble, as diff(1)
  report FILE.kvr -o OUT.pdf
      write the settings sheet report (the remotes and channels as the program prints them)
      to a PDF file; needs no display

match and find search folders with their subfolders, not entering those whose name begins
with a full stop, and name on the error stream what they could not read; --json writes one
JSON document to standard output instead of lines.

A receiver that requires a PIN is read and written only with --pin and its PIN. A PIN given
as "-" is read from standard input, one line each (--pin before --new), without echo on a
terminal, so that it stays out of the process list and the shell's history. No PIN is ever
printed.

Options:
  -h, --help     show this help and exit
  -V, --version  show the version and exit

Exit status: 0 done, 1 a file could not be read or written or the receiver failed (no answer,
port busy, wrong PIN, incomplete transfer, verification), 2 wrong arguments or refused input.
)";

template <class... Handlers>
struct Overloaded : Handlers... {
    using Handlers::operator()...;
};
// Spelt out for clang 14, which does not deduce aggregates yet.
template <class... Handlers>
Overloaded(Handlers...) -> Overloaded<Handlers...>;

int writeToStream(std::string_view text, std::ostream& out, std::ostream& err) {
    if (out.write(text.data(), static_cast<std::streamsize>(text.size())).flush())
        return kExitSuccess;
    err << "kvr: cannot write to standard output\n";
    return kExitFileError;
}

int writeToFile(std::string_view text, const std::filesystem::path& path, std::ostream& err) {
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    return writeBytesToFile(bytes, path, err) ? kExitSuccess : kExitFileError;
}

std::optional<std::string> readTextFile(const std::filesystem::path& path, std::ostream& err) {
    errno = 0;
    std::ifstream file(path, std::ios::binary);
    std::string text;
    std::array<char, 64 * 1024> chunk{};
    while (file.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) || file.gcount() > 0)
        text.append(chunk.data(), static_cast<std::size_t>(file.gcount()));
    if (!file.is_open() || file.bad()) {
        err << "kvr: cannot read " << path.string() << ": " << systemErrorText(errno) << '\n';
        return std::nullopt;
    }
    return text;
}

} // namespace

std::string_view kvrHelp() {
    return kHelp;
}

int runShow(const ShowRequest& request, std::ostream& out, std::ostream& err) {
    const TextTable texts;
    const auto loaded = loadSheet(request.input, texts, err);
    if (!loaded)
        return kExitFileError;
    std::ostringstream table;
    printSheetTable(loaded->sheet, texts, table);
    return writeToStream(table.str(), out, err);
}

int runExport(const ExportRequest& request, std::ostream& out, std::ostream& err) {
    const TextTable texts;
    const auto loaded = loadSheet(request.input, texts, err);
    if (!loaded)
        return kExitFileError;
    const std::string text =
        request.format == ExportFormat::Csv
            ? sheetToCsv(loaded->sheet, request.slots)
            : sheetToJson(loaded->sheet, loaded->version, request.slots) + '\n';
    return request.output ? writeToFile(text, *request.output, err) : writeToStream(text, out, err);
}

int runImport(const ImportRequest& request, std::ostream& err) {
    const auto json = readTextFile(request.input, err);
    if (!json)
        return kExitFileError;
    const auto imported = sheetFromJson(*json);
    if (const auto* error = std::get_if<ImportError>(&imported)) {
        err << "kvr: " << error->message() << '\n';
        return kExitUsage;
    }
    const auto& sheet = std::get<SettingsSheet>(imported);
    return saveSheet(sheet, request.output, err) ? kExitSuccess : kExitFileError;
}

int runEvents(const EventsRequest& request, std::ostream& out, std::ostream& err) {
    const TailScan scan = readNewestEvents(request.log, request.last);
    if (scan.errorNumber != 0) {
        err << "kvr: cannot read " << request.log.string() << ": "
            << systemErrorText(scan.errorNumber) << '\n';
        return kExitFileError;
    }
    const std::string text =
        request.csv ? eventsCsv(scan.events) : eventsTable(scan.events, TextTable());
    return writeToStream(text, out, err);
}

int runKvr(std::span<const std::string_view> args, std::ostream& out, std::ostream& err,
           bool errIsTerminal, int inputFd) {
    const ReceiverCommandOptions options{.showProgress = errIsTerminal, .limits = {}};
    ParsedArguments parsed = parseArguments(args);
    takePinsFromInput(
        parsed, [&](std::string_view prompt) { return readSecretLine(inputFd, err, prompt); });
    return std::visit(
        Overloaded{[&](const UsageError& error) {
                       err << "kvr: " << error.message << '\n'
                           << kSynopsis << "Try 'kvr --help' for more.\n";
                       return kExitUsage;
                   },
                   [&](const ShowRequest& request) { return runShow(request, out, err); },
                   [&](const ExportRequest& request) { return runExport(request, out, err); },
                   [&](const ImportRequest& request) { return runImport(request, err); },
                   [&](const PortsRequest&) {
                       const auto source = UdevPortSource::create();
                       return runPorts(source.get(), out, err);
                   },
                   [&](const InfoRequest& request) { return runInfo(request, out, err, options); },
                   [&](const ReadRequest& request) { return runRead(request, err, options); },
                   [&](const WriteRequest& request) { return runWrite(request, err, options); },
                   [&](const PinRequest& request) { return runPin(request, err, options); },
                   [&](const EventsRequest& request) { return runEvents(request, out, err); },
                   [&](const MatchRequest& request) { return runMatch(request, out, err); },
                   [&](const FindRequest& request) { return runFind(request, out, err); },
                   [&](const DiffRequest& request) {
                       return runDiff(request, out, err, options, inputFd);
                   }},
        parsed);
}

} // namespace konfigor::kvr
