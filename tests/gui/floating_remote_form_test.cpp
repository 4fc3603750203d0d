#include "config/configuration.h"
#include "gui/event_loop_wait.h"
#include "gui/floating_remote_form.h"
#include "gui/floating_remote_shell.h"
#include "gui/main_form.h"
#include "gui/remote_picture_image.h"
#include "gui/widgets/toggle_button.h"
#include "remote/virtual_remote_fixture.h"
#include "sim/receiver_simulator.h"
#include "sim/simulator_thread.h"
#include "support/scripted_prompts.h"
#include "support/session_fakes.h"
#include "support/temp_folder.h"

#include <cstdlib>
#include <memory>
#include <ostream>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QEnterEvent>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTest>
#include <gtest/gtest.h>

namespace konfigor {
namespace {

using namespace std::chrono_literals;
using testing_support::waitFor;

// On the body, away from the buttons, the LED and the key ring.
constexpr QPoint kBodyGrip{15, 110};

RemoteLayout builtInLayout() {
    return *parsePictureTable(builtInPictureTable());
}

QPoint centreOf(const RemoteElement& element) {
    return {element.destinationX + element.width() / 2,
            element.destinationY + element.height() / 2};
}

QPoint buttonCentre(int button) {
    return centreOf(builtInLayout().elements.at(static_cast<std::size_t>(4 - button)));
}

PictureAlpha alphaOf(const QImage& image) {
    return [image](int x, int y) { return qAlpha(image.pixel(x, y)); };
}

// --- the picture ---

struct ElementCase {
    friend void PrintTo(const ElementCase& shown, std::ostream* out) { *out << shown.name; }
    const char* name;
    int slot;
};

class RemotePictureElementTest : public testing::TestWithParam<ElementCase> {};

// Each look is drawn where the table puts it, and the body drawn over it lets it show.
TEST_P(RemotePictureElementTest, ShowsThroughTheBodyWhereTheTablePutsIt) {
    const QImage image = remotePictureImage();
    const RemoteLayout layout = builtInLayout();
    const RemoteElement& element = layout.elements.at(static_cast<std::size_t>(GetParam().slot));
    const QPoint at = centreOf(element);
    EXPECT_TRUE(hitsElement(element, at.x(), at.y(), alphaOf(image)));
    EXPECT_FALSE(hitsElement(layout.elements[kBodySlot], at.x(), at.y(), alphaOf(image)));
}

INSTANTIATE_TEST_SUITE_P(
    Looks, RemotePictureElementTest,
    testing::Values(ElementCase{"Button4", 0}, ElementCase{"Button3", 1}, ElementCase{"Button2", 2},
                    ElementCase{"Button1", 3}, ElementCase{"Button4Highlighted", 4},
                    ElementCase{"Button3Highlighted", 5}, ElementCase{"Button2Highlighted", 6},
                    ElementCase{"Button1Highlighted", 7}, ElementCase{"Button4Pressed", 8},
                    ElementCase{"Button3Pressed", 9}, ElementCase{"Button2Pressed", 10},
                    ElementCase{"Button1Pressed", 11}, ElementCase{"LedOff", kLedOffSlot},
                    ElementCase{"LedLit", kLedOnSlot}));

TEST(RemotePictureImageTest, LoadsWithTheTableAndGivesTheWindowItsSize) {
    const QImage image = remotePictureImage();
    EXPECT_EQ(image.size(), QSize(147, 146));
    std::optional<RemotePicture> picture = loadRemotePicture(image);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width(), 77);
    EXPECT_EQ(picture->height(), 146);

    const RemoteElement& body = picture->elements()[kBodySlot];
    EXPECT_FALSE(hitsElement(body, 0, 0, alphaOf(image))) << "the corner is see-through";
    EXPECT_TRUE(hitsElement(body, kBodyGrip.x(), kBodyGrip.y(), alphaOf(image)));

    // The mouse finds every button by the picture's own alpha.
    for (int button = 1; button <= 4; ++button) {
        SCOPED_TRACE(button);
        const QPoint at = buttonCentre(button);
        picture->mouseMove(at.x(), at.y());
        EXPECT_EQ(picture->hoveredElement(), 8 - button) << "highlighted";
        picture->mouseDown();
        EXPECT_EQ(picture->pressedButtonNumber(), button);
        picture->mouseUp();
    }
    picture->mouseMove(kBodyGrip.x(), kBodyGrip.y());
    EXPECT_EQ(picture->hoveredElement(), kNoElement);
}

// --- the window ---

class FloatingFormTest : public testing_support::VirtualRemoteTest {
protected:
    Configuration configuration;
    TRemoteForm form{remote, configuration, clock, texts};
};

struct UnusablePicture {
    friend void PrintTo(const UnusablePicture& shown, std::ostream* out) { *out << shown.name; }
    const char* name;
    // Made once the application runs: painting needs its fonts.
    QImage (*image)();
};

class UnusablePictureTest : public FloatingFormTest,
                            public testing::WithParamInterface<UnusablePicture> {};

TEST_P(UnusablePictureTest, TheWindowNeverShows) {
    TRemoteForm broken(remote, configuration, clock, texts, GetParam().image());
    EXPECT_FALSE(broken.isLoaded());
    broken.showPlaced({0, 0});
    EXPECT_FALSE(broken.isVisible());
    broken.show();
    EXPECT_FALSE(broken.isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, UnusablePictureTest,
    testing::Values(UnusablePicture{"Missing", [] { return QImage(); }},
                    UnusablePicture{
                        "TwentyFourBits",
                        [] { return remotePictureImage().convertToFormat(QImage::Format_RGB888); }},
                    UnusablePicture{"NarrowerThanTheTable",
                                    [] { return remotePictureImage().copy(0, 0, 140, 146); }}));

// A click shorter than one cycle of the link's worker still sends the button's first frame
// with all its channels, and the press is logged once.
TEST_F(FloatingFormTest, AClickOnAButtonPressesItAtTheReceiver) {
    connectToReceiver();
    form.showPlaced({0, 0});
    const QPoint at = buttonCentre(2);

    QTest::mouseMove(&form, at);
    QTest::mousePress(&form, Qt::LeftButton, {}, at);
    EXPECT_EQ(remote.heldButton(), 2);
    const RemoteElement& pressedLook = form.floatingRemote().picture().elements()[10];
    ASSERT_TRUE(pressedLook.visible);
    const QImage picture = remotePictureImage();
    EXPECT_EQ(form.canvas().pixel(at),
              picture.pixel(at + QPoint(pressedLook.sourceLeft - pressedLook.destinationX,
                                        pressedLook.sourceTop - pressedLook.destinationY)))
        << "the window shows the pressed look";
    EXPECT_TRUE(form.floatingRemote().picture().isLedOn());

    QTest::mouseRelease(&form, Qt::LeftButton, {}, at);
    EXPECT_EQ(remote.heldButton(), 0);
    EXPECT_FALSE(form.floatingRemote().picture().isLedOn());
    cycles(10);
    EXPECT_EQ(takePressFrames(), std::vector<std::uint8_t>{0b0010});
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].button, 2);
}

TEST_F(FloatingFormTest, DraggingTheBodyMovesTheWindowAndClosingKeepsThePlace) {
    form.showPlaced({0, 0});
    const QPoint start = form.pos();

    QTest::mousePress(&form, Qt::LeftButton, {}, kBodyGrip);
    EXPECT_EQ(remote.heldButton(), 0) << "the body is no button";
    QTest::mouseMove(&form, kBodyGrip + QPoint(30, 20));
    QTest::mouseRelease(&form, Qt::LeftButton, {}, kBodyGrip);
    EXPECT_EQ(form.pos(), start + QPoint(30, 20));

    form.close();
    EXPECT_EQ(configuration.virtualRemoteLeft(), start.x() + 30);
    EXPECT_EQ(configuration.virtualRemoteTop(), start.y() + 20);
}

struct PlaceCase {
    friend void PrintTo(const PlaceCase& shown, std::ostream* out) { *out << shown.name; }
    const char* name;
    std::optional<QPoint> stored;
    // Counted back from the screen's far edges where negative.
    QPoint expected;
};

class FloatingFormPlaceTest : public FloatingFormTest,
                              public testing::WithParamInterface<PlaceCase> {};

TEST_P(FloatingFormPlaceTest, OpensOnTheScreen) {
    if (GetParam().stored)
        configuration.setVirtualRemotePosition(GetParam().stored->x(), GetParam().stored->y());
    form.showPlaced({10, 20});
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    QPoint expected = GetParam().expected;
    if (expected.x() < 0)
        expected.rx() += screen.width();
    if (expected.y() < 0)
        expected.ry() += screen.height();
    EXPECT_EQ(form.pos(), expected);
}

INSTANTIATE_TEST_SUITE_P(Places, FloatingFormPlaceTest,
                         testing::Values(PlaceCase{"BesideTheMainWindow", std::nullopt, {210, 120}},
                                         PlaceCase{
                                             "BeyondTheFarEdges", QPoint(5000, 5000), {-77, -146}},
                                         PlaceCase{"LeftOfTheScreen", QPoint(-1200, 30), {0, 30}}));

TEST_F(FloatingFormTest, TwentyPercentIsStoredAndTheWindowFadesToItOnceTheMouseLeaves) {
    form.showPlaced({0, 0});
    form.opacityItem(20)->trigger();
    EXPECT_EQ(configuration.virtualRemoteOpacity(), 20);
    for (const int percent : TRemoteForm::kOpacityPercents)
        EXPECT_EQ(form.opacityItem(percent)->isChecked(), percent == 20) << percent;
    const auto alpha = [&] { return form.floatingRemote().picture().alpha(); };

    QEnterEvent enter(kBodyGrip, kBodyGrip, form.mapToGlobal(kBodyGrip));
    QApplication::sendEvent(&form, &enter);
    EXPECT_EQ(alpha(), 255);
    clock.advance(10s);
    form.runDueTimers();
    EXPECT_EQ(alpha(), 255) << "no fading while the mouse is over it";

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&form, &leave);
    clock.advance(2999ms);
    form.runDueTimers();
    EXPECT_EQ(alpha(), 255);
    clock.advance(1ms + 25ms * 100);
    form.runDueTimers();
    EXPECT_EQ(alpha(), 51);
    const QImage shown = form.grab().toImage();
    EXPECT_NEAR(qAlpha(shown.pixel(kBodyGrip)), 51, 1) << "drawn at that opacity";

    QApplication::sendEvent(&form, &enter);
    EXPECT_EQ(alpha(), 255) << "opaque again at once";
}

TEST_F(FloatingFormTest, TheMenuTellsWhereItWasOpened) {
    std::vector<bool> openedHere;
    QObject::connect(&form, &TRemoteForm::menuOpening,
                     [&](bool fromThisWindow) { openedHere.push_back(fromThisWindow); });
    form.showPlaced({0, 0});
    QTest::mousePress(&form, Qt::RightButton, {}, kBodyGrip);
    ASSERT_TRUE(form.popupMenu().isVisible());
    form.popupMenu().hide();
    // As the tray icon shows it.
    form.popupMenu().popup(QPoint(5, 5));
    form.popupMenu().hide();
    EXPECT_EQ(openedHere, (std::vector<bool>{true, false}));
}

// --- in the main window ---

// The real main window against the software receiver on a pseudo-terminal. The offscreen
// platform has no tray, so the main window closes as it would without the floating remote.
class MainFormFloatingTest : public testing_support::TempFolderTest {
protected:
    MainFormFloatingTest() {
        simulator.setBaudRate(0);
        const std::string config =
            "[Automatyzacja]\r\nAutopolaczenie=Nie\r\nLadujNastawyEprom=Nie\r\n";
        writeBytes(path("config.txt"), testing_support::Bytes(config.begin(), config.end()));
        form = std::make_unique<TMainForm>(
            CommandLine{.extraPorts = {QString::fromStdString(thread.portPath())}},
            MainFormEnvironment{.prompts = &prompts,
                                .fileDialogs = &fileDialogs,
                                .portSource = &ports,
                                .configPath = path("config.txt")});
        form->show();
    }

    TRemoteForm& floating() { return form->floatingRemote().form(); }
    ToggleButton& showButton() { return *form->controls().buttonRemoteShow; }

    void connect() {
        form->controls().buttonConnect->click();
        ASSERT_TRUE(waitFor([&] { return showButton().isEnabled(); }));
    }
    void disconnect() {
        prompts.answer(PromptAnswer::Yes);
        form->controls().buttonConnect->click();
        ASSERT_FALSE(form->link().isRunning());
    }

    ReceiverSimulator simulator;
    SimulatorThread thread{simulator};
    testing_support::ScriptedPrompts prompts;
    testing_support::FakeFileDialogs fileDialogs;
    testing_support::FixedPortSource ports;
    std::unique_ptr<TMainForm> form;
};

TEST_F(MainFormFloatingTest, ShownByItsButtonGoneWhileDisconnectedAndClosedWithTheWindow) {
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    connect();
    showButton().click();
    ASSERT_TRUE(floating().isVisible());
    EXPECT_EQ(floating().pos(), form->pos() + QPoint(200, 100));
    floating().move(floating().pos() + QPoint(7, 3));
    const QPoint place = floating().pos();

    disconnect();
    EXPECT_FALSE(floating().isVisible());
    EXPECT_TRUE(showButton().isPressed()) << "the window comes back with the receiver";
    connect();
    EXPECT_TRUE(floating().isVisible());
    EXPECT_EQ(floating().pos(), place);

    form->close();
    ASSERT_TRUE(waitFor([&] { return !form->isVisible(); }));
    EXPECT_FALSE(floating().isVisible());
    const Configuration saved = Configuration::load(path("config.txt"));
    EXPECT_EQ(saved.virtualRemoteLeft(), place.x());
    EXPECT_EQ(saved.virtualRemoteTop(), place.y());
    EXPECT_TRUE(prompts.allAnswersUsed());
}

TEST_F(MainFormFloatingTest, ItsMenuAndTheQuitCommandCloseItAndReleaseItsButton) {
    connect();
    showButton().click();
    ASSERT_TRUE(floating().isVisible());
    showButton().click();
    EXPECT_FALSE(floating().isVisible());

    showButton().click();
    QTest::mousePress(&floating(), Qt::RightButton, {}, kBodyGrip);
    ASSERT_TRUE(floating().popupMenu().isVisible());
    floating().popupMenu().findChild<QAction*>(QStringLiteral("MenuClose"))->trigger();
    floating().popupMenu().hide();
    EXPECT_FALSE(floating().isVisible());
    EXPECT_FALSE(showButton().isPressed());
    EXPECT_TRUE(form->isVisible()) << "from its own window with the main window shown";

    showButton().click();
    QAction* quit = form->findChild<QAction*>(QStringLiteral("MainMenuQuit"));
    quit->trigger();
    EXPECT_FALSE(floating().isVisible()) << "closed before the main window's close checks";
    EXPECT_FALSE(showButton().isPressed());
    EXPECT_TRUE(waitFor([&] { return !form->isVisible(); }));
}

} // namespace
} // namespace konfigor
