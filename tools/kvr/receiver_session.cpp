#include "kvr/receiver_session.h"

namespace konfigor::kvr {
namespace {

using namespace std::chrono_literals;

// How often a wait looks at the link; the worker does the work meanwhile.
constexpr auto kPollInterval = 5ms;
// The end-of-connection frame should reach the line before the port closes.
constexpr auto kDrainLimit = 500ms;

std::string seconds(std::chrono::milliseconds limit) {
    return std::to_string(std::chrono::duration_cast<std::chrono::seconds>(limit).count()) + " s";
}

} // namespace

std::optional<std::string> ReceiverSession::open(const std::string& portPath) {
    portPath_ = portPath;
    if (!link_.connect(portPath))
        return openFailure();
    // Probed means the probe's answer, with the PIN, is in the image.
    if (!waitFor([&] { return link_.isConfigurationProbed(); }, limits_.answer))
        return "no receiver answered on " + portPath;
    return std::nullopt;
}

std::string ReceiverSession::openFailure() const {
    if (link_.lastError() != LinkError::OpenFailed)
        return "cannot write to " + portPath_;
    switch (link_.lastOpenFault().value_or(SerialFault::Other)) {
    case SerialFault::Busy:
        return portPath_ + " is in use by another program";
    case SerialFault::NotFound:
        return "no such port: " + portPath_;
    case SerialFault::AccessDenied:
        return "no permission to open " + portPath_ + " (is the user in the dialout group?)";
    case SerialFault::Gone:
    case SerialFault::Other:
        break;
    }
    return "cannot open " + portPath_;
}

ReceiverFacts ReceiverSession::facts() const {
    return {.version = link_.version(),
            .multi = link_.isMulti(),
            .pinRequired =
                link_.image().read([](const ReceiverMemory& m) { return m.isPinRequired(); })};
}

std::optional<std::string> ReceiverSession::checkPin(const std::optional<std::string>& pin) const {
    const auto [required, digits] = link_.image().read([](const ReceiverMemory& m) {
        return std::pair{m.isPinRequired(), m.pinText()};
    });
    if (!required)
        return std::nullopt;
    if (!pin)
        return "the receiver requires a PIN; give it with --pin NNNNN";
    if (*pin != digits)
        return "wrong PIN";
    return std::nullopt;
}

std::optional<std::string> ReceiverSession::readMemory(const Progress& progress) {
    if (!link_.startBulkRead())
        return "no connection to the receiver on " + portPath_;
    return waitForTransfer(&ReceiverLink::isReadComplete, "reading", progress);
}

std::optional<std::string> ReceiverSession::readConfiguration() {
    const std::uint32_t before = link_.configChangeCount();
    if (!link_.requestPage(0))
        return "no connection to the receiver on " + portPath_;
    if (!waitFor([&] { return link_.configChangeCount() != before; }, limits_.answer))
        return "the receiver did not send its configuration within " + seconds(limits_.answer);
    return std::nullopt;
}

bool ReceiverSession::setPinSetting(bool required, const std::optional<std::string>& digits) {
    if (digits && !link_.setPin(*digits))
        return false;
    link_.image().update([&](ReceiverMemory& m) { m.setPinRequired(required); });
    return true;
}

// The receiver's 'Y' to a page-0 write counts as a configuration change.
std::optional<std::string> ReceiverSession::writeConfiguration() {
    const std::uint32_t before = link_.configChangeCount();
    if (!link_.writeConfiguration())
        return "no connection to the receiver on " + portPath_;
    if (!waitFor([&] { return link_.configChangeCount() != before; }, limits_.answer))
        return "the receiver did not accept its configuration within " + seconds(limits_.answer);
    return std::nullopt;
}

std::optional<std::string> ReceiverSession::writeMemory(const ReceiverMemory& memory,
                                                        const Progress& progress) {
    link_.image().update([&](ReceiverMemory& image) { image = memory; });
    if (!link_.startBulkWrite())
        return "no connection to the receiver on " + portPath_;
    return waitForTransfer(&ReceiverLink::isWriteComplete, "writing", progress);
}

std::optional<std::string> ReceiverSession::waitForTransfer(bool (ReceiverLink::*complete)() const,
                                                            std::string_view what,
                                                            const Progress& progress) {
    const bool ended = waitFor([&] { return (link_.*complete)() || link_.hasTransferFailed(); },
                               limits_.transfer, progress);
    if (link_.hasTransferFailed())
        return std::string(what) +
               " the receiver failed: its replies kept going out of step with the requests";
    if (!ended) {
        link_.abortTransfers();
        return std::string(what) + " the receiver did not complete within " +
               seconds(limits_.transfer);
    }
    return std::nullopt;
}

ReceiverMemory ReceiverSession::memory() const {
    return link_.image().read([](const ReceiverMemory& m) { return m; });
}

void ReceiverSession::close() {
    if (!link_.isRunning())
        return;
    if (link_.endConnection())
        waitFor([&] { return link_.isOutputQueueEmpty(); }, kDrainLimit);
    link_.disconnect();
}

bool ReceiverSession::waitFor(const std::function<bool()>& done, std::chrono::milliseconds limit,
                              const Progress& progress) {
    const auto deadline = clock_.now() + limit;
    int shown = -1;
    while (true) {
        takeMessages();
        if (done()) {
            if (progress && !link_.hasTransferFailed())
                progress(100);
            return true;
        }
        if (clock_.now() >= deadline)
            return false;
        if (const int percent = link_.transferPercent(); progress && percent != shown) {
            progress(percent);
            shown = percent;
        }
        clock_.sleepFor(kPollInterval);
    }
}

// Nobody else reads the link's messages here; taking them keeps the queue short.
void ReceiverSession::takeMessages() {
    while (link_.popMessage()) {
    }
}

} // namespace konfigor::kvr
