#include "kvr/receiver_commands.h"

#include "files/settings_file.h"
#include "kvr/command_support.h"
#include "kvr/kvr_commands.h"
#include "link/port_source.h"
#include "sheet/image_transfer.h"
#include "texts/text_table.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace konfigor::kvr {
namespace {

using Failure = std::optional<std::string>;
using Transfer = std::function<Failure(const ReceiverSession::Progress&)>;

// Slots are named to the user counted from 1; a long list is cut short.
constexpr std::size_t kSlotsNamed = 20;

// "reading 42%", rewritten in place on a terminal; the line is ended when it goes.
class ProgressLine {
public:
    ProgressLine(std::ostream& err, bool shown, std::string_view what)
        : err_(err), shown_(shown), what_(what) {}
    ~ProgressLine() {
        if (started_)
            err_ << '\n' << std::flush;
    }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void show(int percent) {
        if (!shown_)
            return;
        err_ << '\r' << what_ << ' ' << percent << '%' << std::flush;
        started_ = true;
    }

private:
    std::ostream& err_;
    bool shown_;
    std::string_view what_;
    bool started_ = false;
};

bool reported(const Failure& failure, std::ostream& err) {
    if (failure)
        err << "kvr: " << *failure << '\n';
    return failure.has_value();
}

// The progress line ends before a failure is told.
bool transfer(std::string_view what, const ReceiverCommandOptions& options, std::ostream& err,
              const Transfer& run) {
    Failure failure;
    {
        ProgressLine line(err, options.showProgress, what);
        failure = run([&](int percent) { line.show(percent); });
    }
    return !reported(failure, err);
}

bool readAll(ReceiverSession& session, std::string_view what, const ReceiverCommandOptions& options,
             std::ostream& err) {
    return transfer(what, options, err,
                    [&](const auto& progress) { return session.readMemory(progress); });
}

// Connected, and the PIN accepted where the receiver requires one.
bool openReceiver(ReceiverSession& session, const ReceiverAddress& address, std::ostream& err) {
    Failure failure = session.open(address.port);
    if (!failure)
        failure = session.checkPin(address.pin);
    return !reported(failure, err);
}

std::string yesNo(bool value) {
    return value ? "yes" : "no";
}

// Reads everything again; `mismatch` says what a difference means.
bool verify(ReceiverSession& session, const ReceiverMemory& expected,
            const ReceiverCommandOptions& options, std::ostream& err, std::string_view mismatch) {
    if (!readAll(session, "verifying", options, err))
        return false;
    const ReceiverMemory actual = session.memory();
    if (actual == expected)
        return true;
    err << "kvr: verification failed: " << mismatch << ' ' << describeDifferences(expected, actual)
        << '\n';
    return false;
}

int saveMemory(const ReceiverMemory& memory, const ReadRequest& request, std::ostream& err) {
    if (request.format == ReadFormat::Image)
        return writeBytesToFile(memory.bytes(), request.output, err) ? kExitSuccess
                                                                     : kExitFileError;
    SettingsSheet sheet;
    copyImageToSheet(memory, sheet);
    return saveSheet(sheet, request.output, err) ? kExitSuccess : kExitFileError;
}

} // namespace

std::string describeDifferences(const ReceiverMemory& expected, const ReceiverMemory& actual) {
    std::vector<std::string> parts;
    const auto page0 = expected.page(0);
    const auto actualPage0 = actual.page(0);
    if (!std::equal(page0.begin(), page0.end(), actualPage0.begin()))
        parts.emplace_back("the configuration");
    std::vector<std::size_t> slots;
    for (std::size_t slot = 0; slot < ReceiverMemory::kSlotCount; ++slot) {
        if (expected.record(slot) != actual.record(slot))
            slots.push_back(slot + 1);
    }
    if (!slots.empty()) {
        std::string named = slots.size() == 1 ? "slot " : "slots ";
        for (std::size_t i = 0; i < std::min(slots.size(), kSlotsNamed); ++i)
            named += (i == 0 ? "" : ", ") + std::to_string(slots[i]);
        if (slots.size() > kSlotsNamed)
            named += " and " + std::to_string(slots.size() - kSlotsNamed) + " more";
        parts.push_back(std::move(named));
    }
    return parts.size() == 2 ? parts[0] + " and " + parts[1] : parts.front();
}

int runPorts(PortSource* source, std::ostream& out, std::ostream& err) {
    if (source == nullptr) {
        err << "kvr: cannot look for interfaces: udev is not available\n";
        return kExitReceiverError;
    }
    const auto ports = source->listPorts();
    if (ports.empty())
        err << "kvr: no programming interface found\n";
    for (const InterfacePort& port : ports)
        out << port.path << '\n';
    return kExitSuccess;
}

int runInfo(const InfoRequest& request, std::ostream& out, std::ostream& err,
            const ReceiverCommandOptions& options) {
    ReceiverSession session(options.limits);
    if (reported(session.open(request.receiver.port), err))
        return kExitReceiverError;
    const ReceiverFacts facts = session.facts();
    out << "firmware: " << int{facts.version.major} << '.' << int{facts.version.minor} << '\n'
        << "multi variant: " << yesNo(facts.multi) << '\n'
        << "PIN required: " << yesNo(facts.pinRequired) << '\n';
    // A PIN given here is checked, so that a script can test one without touching the memory.
    if (request.receiver.pin && reported(session.checkPin(request.receiver.pin), err))
        return kExitReceiverError;
    return kExitSuccess;
}

int runRead(const ReadRequest& request, std::ostream& err, const ReceiverCommandOptions& options) {
    ReceiverSession session(options.limits);
    if (!openReceiver(session, request.receiver, err) || !readAll(session, "reading", options, err))
        return kExitReceiverError;
    const ReceiverMemory memory = session.memory();
    if (request.verify && !verify(session, memory, options, err, "the two readings differ in"))
        return kExitReceiverError;
    return saveMemory(memory, request, err);
}

int runWrite(const WriteRequest& request, std::ostream& err,
             const ReceiverCommandOptions& options) {
    const TextTable texts;
    const auto loaded = loadSheet(request.input, texts, err);
    if (!loaded)
        return kExitFileError;
    ReceiverSession session(options.limits);
    // The configuration page is read first, so that what a settings file does not hold (PIN,
    // its requirement, copy locks, unknown bytes) goes back as the receiver has it.
    if (!openReceiver(session, request.receiver, err) || reported(session.readConfiguration(), err))
        return kExitReceiverError;
    ReceiverMemory memory = session.memory();
    copySheetToImage(loaded->sheet, memory);
    const bool written = transfer("writing", options, err, [&](const auto& progress) {
        return session.writeMemory(memory, progress);
    });
    if (!written || (request.verify &&
                     !verify(session, memory, options, err, "the receiver holds other data in")))
        return kExitReceiverError;
    return kExitSuccess;
}

int runPin(const PinRequest& request, std::ostream& err, const ReceiverCommandOptions& options) {
    ReceiverSession session(options.limits);
    // The configuration page goes back whole: read it first, so that only the PIN setting
    // changes.
    if (!openReceiver(session, request.receiver, err) || reported(session.readConfiguration(), err))
        return kExitReceiverError;
    const bool required = request.newPin.has_value();
    // Switching the requirement off keeps the digits the receiver has.
    const std::string digits = request.newPin.value_or(session.memory().pinText());
    if (!session.setPinSetting(required, request.newPin)) {
        err << "kvr: pin: the new PIN is five digits\n";
        return kExitUsage;
    }
    if (reported(session.writeConfiguration(), err) || reported(session.readConfiguration(), err))
        return kExitReceiverError;
    const ReceiverMemory stored = session.memory();
    if (stored.isPinRequired() != required || stored.pinText() != digits) {
        err << "kvr: verification failed: the receiver holds another PIN setting\n";
        return kExitReceiverError;
    }
    return kExitSuccess;
}

} // namespace konfigor::kvr
