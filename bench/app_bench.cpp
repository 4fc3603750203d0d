// The application's main window: how long it takes to come up on screen, and what the process
// holds in memory before it, once it is shown and once a full receiver has been loaded into it.
//
// Runs on the offscreen platform unless QT_QPA_PLATFORM names another. The memory run comes
// first, so that its numbers are those of a fresh process. KONFIGOR_BENCH_QUICK=1 (set by
// scripts/check's smoke run) shows the window only once.
#include "gui/main_form.h"
#include "link/receiver_image.h"
#include "session/app_core.h"
#include "sim/receiver_simulator.h"
#include "sim/simulator_thread.h"
#include "support/session_fakes.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>

namespace konfigor {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;
using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr auto kPaintLimit = 10s;
constexpr auto kLoadLimit = 60s;

bool quick() {
    const char* value = std::getenv("KONFIGOR_BENCH_QUICK");
    return value != nullptr && std::string_view(value) == "1";
}

// Made on first use, as main() makes it before the window. Never destroyed: after main()
// returns, Qt's own globals may already be gone.
void ensureApplication() {
    static int argc = 1;
    static char name[] = "app_bench";
    static char* argv[] = {name, nullptr};
    static const QApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    static_cast<void>(app);
}

// A line of /proc/self/status such as "VmRSS:", in KiB; -1 where there is none.
long statusKiB(std::string_view key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.starts_with(key))
            return std::strtol(line.c_str() + key.size(), nullptr, 10);
    return -1;
}

// No prompt is expected; should one come, it gets the answer of a user pressing Enter.
class DefaultAnswers final : public UserPrompts {
public:
    PromptAnswer ask(const Prompt& prompt) override {
        ++asked;
        return prompt.defaultAnswer;
    }

    int asked = 0;
};

// What the window is given instead of the user's world: a configuration of its own with
// automatic connecting and the description search after the load off (its windows are modal),
// no interfaces, prompts and file dialogs that never block.
class WindowWorld {
public:
    WindowWorld()
        : folder_(std::filesystem::temp_directory_path() /
                  ("konfigor_app_bench_" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(folder_);
        std::ofstream(configPath(), std::ios::binary)
            << "[Automatyzacja]\r\nAutopolaczenie=Nie\r\nOtworzOknoWyszukiwaniaPlikowNastaw="
               "Nie\r\n";
    }
    ~WindowWorld() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    WindowWorld(const WindowWorld&) = delete;
    WindowWorld& operator=(const WindowWorld&) = delete;

    std::unique_ptr<TMainForm> createWindow(QStringList extraPorts = {}) {
        return std::make_unique<TMainForm>(CommandLine{.extraPorts = std::move(extraPorts)},
                                           MainFormEnvironment{.prompts = &prompts,
                                                               .fileDialogs = &fileDialogs_,
                                                               .portSource = &ports_,
                                                               .configPath = configPath()});
    }

    DefaultAnswers prompts;

private:
    std::filesystem::path configPath() const { return folder_ / "config.txt"; }

    std::filesystem::path folder_;
    testing_support::FakeFileDialogs fileDialogs_;
    testing_support::FixedPortSource ports_;
};

// Ends an event loop at the window's first paint event. The repaint manager paints the window
// and then all its children in the same pass and flushes them, so when the loop returns the
// whole first frame has been drawn: that is what "shown" means here, not just show() returning.
class FirstPaint final : public QObject {
public:
    explicit FirstPaint(QEventLoop& loop) : loop_(loop) {}
    bool seen() const { return seen_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            loop_.quit();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QEventLoop& loop_;
    bool seen_ = false;
};

bool showUntilFirstPaint(TMainForm& form) {
    QEventLoop loop;
    FirstPaint paint(loop);
    form.installEventFilter(&paint);
    form.show();
    if (!paint.seen()) {
        QTimer::singleShot(kPaintLimit, &loop, &QEventLoop::quit);
        loop.exec();
    }
    form.removeEventFilter(&paint);
    return paint.seen();
}

// Runs the event loop, as the program's own would run, until done() holds.
bool runEventsUntil(const std::function<bool()>& done, Clock::duration limit) {
    QTimer wake; // the limit is looked at even while nothing else happens
    wake.start(10ms);
    const auto end = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > end)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// The whole memory is in the sheet and recorded as one step of the history.
bool receiverLoaded(AppCore& core) {
    const History& history = core.history();
    return !history.empty() && history.kindAt(history.position()) == HistoryKind::ReceiverLoad &&
           !core.sheet().isEmpty(kRemoteSlotCount - 1);
}

bool allSlotsFilled(const SettingsSheet& sheet) {
    return std::ranges::none_of(sheet.remotes, &RemoteEntry::isEmpty);
}

void setKiB(benchmark::State& state, const char* name, long kib) {
    state.counters[name] = static_cast<double>(kib);
}

// Resident memory before the window, once it is shown, and once a receiver with every slot
// used has been connected and loaded into the sheet. The load's wall time, from the connecting
// window closing to the full sheet, is the iteration time; with baud rate 0 it is the program's
// own work, not the line's: the session's own timer starts the load and notices its end, so its
// ticks set most of this time.
void fullLoadMemory(benchmark::State& state) {
    ensureApplication();
    ReceiverSimulator simulator;
    simulator.setBaudRate(0);
    for (std::uint32_t slot = 0; slot < kRemoteSlotCount; ++slot)
        simulator.storeRemote(
            slot,
            ReceiverImage::Record{.serialNumber = 100'000 + slot, .counter = 1}.toRemoteRecord());
    SimulatorThread served(simulator);
    WindowWorld world;
    for (auto _ : state) {
        const long beforeWindow = statusKiB("VmRSS:");
        const auto shownStart = Clock::now();
        const auto form = world.createWindow({QString::fromStdString(served.portPath())});
        if (!showUntilFirstPaint(*form)) {
            state.SkipWithError("the window was never painted");
            return;
        }
        const Milliseconds coldWindow = Clock::now() - shownStart;
        const long windowShown = statusKiB("VmRSS:");

        // The click returns when the connecting window closes; the load runs after it.
        const auto connectStart = Clock::now();
        form->controls().buttonConnect->click();
        const auto loadStart = Clock::now();
        const bool loaded =
            runEventsUntil([&] { return receiverLoaded(form->core()); }, kLoadLimit);
        const Seconds load = Clock::now() - loadStart;
        // A fast load that missed remotes measures nothing.
        if (!loaded || !allSlotsFilled(form->core().sheet())) {
            state.SkipWithError("the receiver's memory was not loaded whole");
            return;
        }
        const long afterLoad = statusKiB("VmRSS:");
        state.SetIterationTime(load.count());
        setKiB(state, "rss_before_window_KiB", beforeWindow);
        setKiB(state, "rss_window_shown_KiB", windowShown);
        setKiB(state, "rss_after_load_KiB", afterLoad);
        setKiB(state, "rss_peak_KiB", statusKiB("VmHWM:"));
        // The counters print as "35.476k"; the label gives the same in plain KiB.
        state.SetLabel("RSS KiB: before window " + std::to_string(beforeWindow) + ", shown " +
                       std::to_string(windowShown) + ", after load " + std::to_string(afterLoad));
        state.counters["first_window_cold_ms"] = coldWindow.count();
        state.counters["connect_ms"] = Milliseconds(loadStart - connectStart).count();
        state.counters["prompts"] = world.prompts.asked;
    }
}
BENCHMARK(fullLoadMemory)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// From constructing the window to its first frame drawn. Qt, its fonts and style are warm by
// now (the memory run above showed the window first, cold): this is the window's own cost.
void firstShownWindow(benchmark::State& state) {
    ensureApplication();
    WindowWorld world;
    for (auto _ : state) {
        const auto start = Clock::now();
        auto form = world.createWindow();
        const bool painted = showUntilFirstPaint(*form);
        const Seconds elapsed = Clock::now() - start;
        if (!painted) {
            state.SkipWithError("the window was never painted");
            return;
        }
        state.SetIterationTime(elapsed.count());
        form.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
BENCHMARK(firstShownWindow)
    ->Iterations(1)
    ->Repetitions(quick() ? 1 : 25)
    ->ReportAggregatesOnly(true)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace konfigor
