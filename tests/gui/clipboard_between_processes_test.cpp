// Remotes copied in one running konfigor and pasted in another: two processes of this program
// on an X server of the test's own (Xvfb), exchanging the private block through the real X
// clipboard.
#include "files/settings_file.h"
#include "gui/main_form.h"
#include "session/app_core.h"
#include "support/session_fakes.h"
#include "support/temp_folder.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>

#include <QApplication>
#include <QProcess>
#include <QSocketNotifier>
#include <gtest/gtest.h>

namespace konfigor {
namespace {

using namespace std::chrono_literals;

constexpr std::size_t kCopiedSlots = 3;
constexpr std::size_t kPasteSlot = 9;

std::uint32_t serialOf(std::size_t slot) {
    return static_cast<std::uint32_t>(5000 + slot);
}

// A peer answers every question with its default: no one is there to click.
class DefaultAnswers final : public UserPrompts {
public:
    PromptAnswer ask(const Prompt& prompt) override { return prompt.defaultAnswer; }
};

struct Peer {
    DefaultAnswers prompts;
    testing_support::FixedPortSource ports;
    TMainForm form;

    explicit Peer(const std::filesystem::path& configPath)
        : form(CommandLine{}, MainFormEnvironment{.prompts = &prompts,
                                                  .portSource = &ports,
                                                  .configPath = configPath}) {
        form.show();
    }
};

// The first peer: loads the file, copies its first remotes and keeps the clipboard until its
// standard input ends, as the owner of an X selection must.
int copyPeer(const std::filesystem::path& file) {
    Peer peer(file.parent_path() / "copy-config.txt");
    AppCore& core = peer.form.core();
    core.files().loadNamedFile(file);
    for (std::size_t slot = 0; slot < kCopiedSlots; ++slot)
        core.sheet().remotes[slot].marked = true;
    if (!core.clipboard().copy(0))
        return 1;
    std::cout << "copied" << std::endl;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    // exit() rather than quit(): quitting asks the window to close, and it would ask about the
    // sheet not written to a receiver.
    QObject::connect(&input, &QSocketNotifier::activated, qApp, [] { QCoreApplication::exit(0); });
    return QApplication::exec();
}

// The second peer: waits for the remotes on the clipboard, pastes them at row 10 of an empty
// sheet and saves the sheet for the test to read.
int pastePeer(const std::filesystem::path& out) {
    Peer peer(out.parent_path() / "paste-config.txt");
    AppCore& core = peer.form.core();
    const auto end = std::chrono::steady_clock::now() + 20s;
    while (!core.clipboard().popupMenuCommands().paste) {
        if (std::chrono::steady_clock::now() > end)
            return 2;
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    core.selection().followCurrentRow(static_cast<int>(kPasteSlot) + 1);
    core.clipboard().paste(kPasteSlot);
    const SettingsSheet& sheet = core.sheet();
    return SettingsFile(peer.form.texts())
                   .write(out, sheet.remotes, sheet.channels, sheet.identifier)
               ? 3
               : 0;
}

class ClipboardBetweenProcessesTest : public testing_support::TempFolderTest {
protected:
    void SetUp() override {
        if (!std::filesystem::exists("/usr/bin/Xvfb"))
            GTEST_SKIP() << "Xvfb is not installed";
        display_ = QStringLiteral(":%1").arg(200 + getpid() % 500);
        xvfb_.start(QStringLiteral("/usr/bin/Xvfb"),
                    {display_, QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                     QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("800x600x24")});
        ASSERT_TRUE(xvfb_.waitForStarted());
        const auto socket = "/tmp/.X11-unix/X" + display_.mid(1).toStdString();
        const auto end = std::chrono::steady_clock::now() + 20s;
        while (!std::filesystem::exists(socket) && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(20ms);
        ASSERT_TRUE(std::filesystem::exists(socket)) << "Xvfb did not come up";
    }
    void TearDown() override {
        xvfb_.terminate();
        xvfb_.waitForFinished();
    }

    void startPeer(QProcess& peer, const char* role, const std::filesystem::path& file) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), display_);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        peer.setProcessEnvironment(environment);
        peer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        peer.start(QCoreApplication::applicationFilePath(),
                   {QString::fromLatin1(role), QString::fromStdString(file.string())});
        ASSERT_TRUE(peer.waitForStarted());
    }

    QString display_;
    QProcess xvfb_;
};

TEST_F(ClipboardBetweenProcessesTest, RemotesCopiedInOneWindowArePastedInAnother) {
    SettingsSheet source;
    for (std::size_t slot = 0; slot < kCopiedSlots + 1; ++slot)
        source.remotes[slot].serialWord = serialOf(slot);
    source.remotes[1].description.assign("Brama wjazdowa");
    const TextTable texts;
    ASSERT_FALSE(SettingsFile(texts).write(path("source.kvr"), source.remotes, source.channels,
                                           source.identifier));

    QProcess copying;
    startPeer(copying, "--copy-peer", path("source.kvr"));
    ASSERT_TRUE(copying.waitForReadyRead(30'000));
    EXPECT_EQ(copying.readLine().trimmed(), QByteArray("copied"));

    QProcess pasting;
    startPeer(pasting, "--paste-peer", path("pasted.kvr"));
    ASSERT_TRUE(pasting.waitForFinished(60'000));
    EXPECT_EQ(pasting.exitCode(), 0);
    copying.closeWriteChannel();
    EXPECT_TRUE(copying.waitForFinished(30'000));

    SettingsSheet pasted;
    bool newer = false;
    ASSERT_FALSE(SettingsFile(texts).read(path("pasted.kvr"), {.remotes = pasted.remotes,
                                                               .channels = pasted.channels,
                                                               .identifier = pasted.identifier,
                                                               .newerVersion = newer}));
    for (std::size_t i = 0; i < kCopiedSlots; ++i)
        EXPECT_EQ(pasted.remotes[kPasteSlot + i].serialWord, serialOf(i)) << "slot " << i;
    EXPECT_EQ(pasted.remotes[kPasteSlot + 1].description.view(), "Brama wjazdowa");
    EXPECT_TRUE(pasted.isEmpty(kPasteSlot + kCopiedSlots)) << "the fourth was not copied";
}

} // namespace
} // namespace konfigor

int main(int argc, char* argv[]) {
    if (argc == 3) {
        const std::string role = argv[1];
        if (role == "--copy-peer" || role == "--paste-peer") {
            QApplication app(argc, argv);
            return role == "--copy-peer" ? konfigor::copyPeer(argv[2])
                                         : konfigor::pastePeer(argv[2]);
        }
    }
    testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
