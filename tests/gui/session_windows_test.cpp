#include "gui/connecting_form.h"
#include "gui/loading_progress_form.h"
#include "gui/message_form.h"
#include "link/receiver_link.h"
#include "support/fake_clock.h"
#include "support/fake_serial_port.h"
#include "texts/text_table.h"

#include <cerrno>
#include <functional>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <gtest/gtest.h>

namespace konfigor {
namespace {

using testing_support::FakeClock;
using testing_support::FakeSerialPort;

constexpr int kFrameSlack = 8;

// Runs `action` once the modal loop that the test starts next is running.
void whileModal(int delayMs, std::function<void()> action) {
    QTimer::singleShot(delayMs, qApp, std::move(action));
}

template <class Widget>
Widget* child(const QWidget& parent, const char* name) {
    return parent.findChild<Widget*>(QString::fromLatin1(name));
}

// --- the transfer progress dialog ---

class LoadingProgressFormTest : public testing::Test {
protected:
    QMainWindow owner;
    TextTable texts;
    int cancelRequests = 0;
    TLoadingProgressForm form{texts, [this] { ++cancelRequests; }, &owner};
};

TEST_F(LoadingProgressFormTest, RunShowsCaptionAndEndsWithTheResultOfFinish) {
    owner.setGeometry(100, 100, 600, 400);
    owner.show();
    form.setPercent(70);
    for (const TransferResult expected : {TransferResult::Ok, TransferResult::Abort}) {
        bool checked = false;
        whileModal(20, [&] {
            EXPECT_TRUE(form.isVisible());
            EXPECT_EQ(form.windowTitle(), QStringLiteral("Ładowanie"));
            EXPECT_EQ(form.percent(), 0);
            EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
            EXPECT_FALSE(form.windowFlags().testFlag(Qt::WindowCloseButtonHint));
            // Within the window frame, which the platform adds only once shown.
            EXPECT_LE(
                (form.frameGeometry().center() - owner.frameGeometry().center()).manhattanLength(),
                kFrameSlack);
            EXPECT_EQ(form.run("again"), TransferResult::Abort); // the open run owns it
            form.setPercent(42);
            EXPECT_EQ(form.percent(), 42);
            checked = true;
            form.finish(expected);
        });
        EXPECT_EQ(form.run("Ładowanie"), expected);
        EXPECT_TRUE(checked);
        EXPECT_FALSE(form.isVisible());
        EXPECT_FALSE(form.QDialog::isVisible());
    }
}

TEST_F(LoadingProgressFormTest, FinishWithoutARunDoesNothing) {
    form.finish(TransferResult::Ok);
    whileModal(20, [&] { form.finish(TransferResult::Abort); });
    EXPECT_EQ(form.run("x"), TransferResult::Abort);
}

TEST_F(LoadingProgressFormTest, CancelAndEscapeOnlyAskTheSession) {
    whileModal(20, [&] {
        child<QPushButton>(form, "CancelButton")->click();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&form, &escape);
        form.close();
        EXPECT_TRUE(form.QDialog::isVisible()); // still open: the session decides
        EXPECT_EQ(cancelRequests, 3);
        form.finish(TransferResult::Ok);
    });
    EXPECT_EQ(form.run("x"), TransferResult::Ok);
    EXPECT_FALSE(child<QPushButton>(form, "CancelButton")->text().isEmpty());
}

TEST_F(LoadingProgressFormTest, HidingTheWindowDoesNotEndTheRun) {
    whileModal(20, [&] {
        form.hide(); // the application was minimised
        QTimer::singleShot(20, qApp, [&] {
            EXPECT_TRUE(form.isVisible());
            form.finish(TransferResult::Ok);
        });
    });
    EXPECT_EQ(form.run("x"), TransferResult::Ok);
}

// --- the warning window ---

TEST(MessageFormTest, LaysOutTheWarningAndClosesFromTheCallersTimer) {
    TMessageForm form;
    std::string text;
    for (int word = 0; word < 200; ++word)
        text += "słowo ";
    bool checked = false;
    whileModal(20, [&] {
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Konfigor USB"));
        EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        const auto* icon = child<QLabel>(form, "Image");
        const auto* message = child<QLabel>(form, "Message");
        const auto* ok = child<QPushButton>(form, "OK");
        EXPECT_EQ(ok->text(), QStringLiteral("&OK"));
        const QRect client = form.rect();
        const int margin = icon->x();
        EXPECT_EQ(client.width(), message->geometry().right() + 1 + margin);
        EXPECT_EQ(client.height(),
                  std::max(icon->height(), message->height()) + ok->height() + 2 * margin + 8);
        EXPECT_EQ(ok->geometry().bottom() + 1, client.height() - 8);
        EXPECT_LE(std::abs(ok->geometry().center().x() - client.center().x()), 1);
        EXPECT_EQ(icon->geometry().center().y(), message->geometry().center().y());
        const QRect screen = form.screen()->geometry();
        EXPECT_LE((form.frameGeometry().center() - screen.center()).manhattanLength(), kFrameSlack);
        EXPECT_LE(message->width(), screen.width() - 200); // wrapped
        EXPECT_GT(message->height(), 2 * message->fontMetrics().height());
        checked = true;
        form.show("second", "call"); // already open: ignored
        form.close();
    });
    form.show(text, "Konfigor USB");
    EXPECT_TRUE(checked);
    EXPECT_FALSE(form.isVisible());
    form.close(); // closed already: nothing happens
}

TEST(MessageFormTest, ShortTextKeepsRoomForTheButton) {
    TMessageForm form;
    whileModal(20, [&] {
        EXPECT_GE(child<QLabel>(form, "Message")->width(), 99);
        child<QPushButton>(form, "OK")->click();
    });
    form.show("!", "t");
    EXPECT_FALSE(form.isVisible());
}

// --- the connecting dialog ---

class ConnectingFormTest : public testing::Test {
protected:
    FakeClock clock;
    FakeSerialPort port{&clock};
    ReceiverLink link{port, clock, ReceiverLink::Worker::Manual};
    TextTable texts;
    TConnectingForm form{link, texts, nullptr};
};

TEST_F(ConnectingFormTest, ConnectReturnsOnceTheLinkRuns) {
    QString label;
    whileModal(0, [&] { label = child<QLabel>(form, "Label")->text(); });
    form.runConnect("/dev/ttyACM0");
    EXPECT_TRUE(link.isRunning());
    EXPECT_EQ(label, QStringLiteral("Łączenie z urządzeniem ZOR"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Proszę czekać..."));
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(child<QTimer>(form, "TimerConnect")->isActive());
    EXPECT_FALSE(child<QTimer>(form, "Timer")->isActive());
}

TEST_F(ConnectingFormTest, CancelEndsABusyConnectAndStopsTheTimers) {
    port.failOpenWith(SerialError{SerialFault::Busy, EBUSY});
    whileModal(350, [&] {
        EXPECT_TRUE(child<QTimer>(form, "TimerConnect")->isActive());
        EXPECT_GT(child<QProgressBar>(form, "ProgressBar")->value(), 0);
        auto* cancel = child<QPushButton>(form, "ButtonCancel");
        EXPECT_FALSE(cancel->text().isEmpty());
        cancel->click();
    });
    form.runConnect("/dev/ttyACM0");
    EXPECT_FALSE(link.isRunning());
    EXPECT_EQ(port.openCount(), 1); // one attempt a second
    EXPECT_FALSE(child<QTimer>(form, "TimerConnect")->isActive());
    EXPECT_EQ(form.procedure().mode(), ConnectingProcedure::Mode::Idle);
}

TEST_F(ConnectingFormTest, DisconnectWaitsOnlyWhileTheLinkRuns) {
    form.runDisconnect(); // stopped: returns at once, never shown
    EXPECT_EQ(form.procedure().mode(), ConnectingProcedure::Mode::Idle);

    ASSERT_TRUE(link.connect("/dev/ttyACM0"));
    QString label;
    whileModal(0, [&] { label = child<QLabel>(form, "Label")->text(); });
    form.runDisconnect();
    EXPECT_FALSE(link.isRunning());
    EXPECT_EQ(label, QStringLiteral("Rozłączanie od urządzenia ZOR"));
}

TEST_F(ConnectingFormTest, CloseDialogFromTheCallersTimer) {
    port.failOpenWith(SerialError{SerialFault::Busy, EBUSY});
    whileModal(20, [&] { form.closeDialog(); });
    form.runConnect("/dev/ttyACM0");
    EXPECT_FALSE(form.isVisible());
}

} // namespace
} // namespace konfigor
