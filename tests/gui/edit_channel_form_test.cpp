#include "editors/channel_editor.h"
#include "gui/edit_channel_form.h"
#include "support/sheet_commands_fixture.h"
#include "texts/untranslated_texts.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <gtest/gtest.h>

namespace konfigor {
namespace {

constexpr int kFrameSlack = 8;

template <class Widget>
Widget* child(const QWidget& parent, const char* name) {
    Widget* found = parent.findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// A click on the box's indicator: the box may be wider than its caption.
void toggle(QCheckBox& box) {
    QStyleOptionButton option;
    option.initFrom(&box);
    const QRect indicator =
        box.style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, &box);
    QTest::mouseClick(&box, Qt::LeftButton, Qt::NoModifier, indicator.center());
}

// One typed character, also one that no key of the test's keyboard names.
void type(QWidget& widget, const QString& character) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, character);
    QApplication::sendEvent(&widget, &press);
}

class EditChannelFormTest : public testing_support::SheetCommandsFixture {
protected:
    EditChannelFormTest() {
        // The dialog takes the system's separator; Polish gives the comma.
        QLocale::setDefault(QLocale(QLocale::Polish));
        owner.setGeometry(100, 100, 700, 500);
        owner.show();
    }
    ~EditChannelFormTest() override { QLocale::setDefault(previousLocale); }

    void open(std::size_t channel) { ASSERT_TRUE(form.openFor(editor, channel)); }
    QLineEdit& description() { return *child<QLineEdit>(form, "EditDescription"); }
    QLineEdit& time() { return *child<QLineEdit>(form, "EditTime"); }
    QCheckBox& transientMode() { return *child<QCheckBox>(form, "CBTransientMode"); }
    QCheckBox& doublePress() { return *child<QCheckBox>(form, "CBDblSwitch"); }
    void click(const char* buttonName) {
        QTest::mouseClick(child<QPushButton>(form, buttonName), Qt::LeftButton);
    }

    QLocale previousLocale;
    QWidget owner;
    ChannelEditor editor{{sheet, history, saveState, session, prompts, surface, texts}};
    TEditChannelForm form{texts, &owner};
};

TEST_F(EditChannelFormTest, ShowsTheChannelInItsNamedControls) {
    ChannelEntry& entry = sheet.channels[1];
    entry.description.assignUtf8("Brama wjazdowa");
    entry.time = 5;
    open(1);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.windowModality(), Qt::WindowModal);
    EXPECT_LE((form.frameGeometry().center() - owner.frameGeometry().center()).manhattanLength(),
              kFrameSlack);

    EXPECT_EQ(form.windowTitle(), QStringLiteral("Edycja kanału..."));
    EXPECT_EQ(child<QLabel>(form, "LabelChannel")->text(), QStringLiteral("Edycja kanału 2"));
    EXPECT_EQ(child<QLabel>(form, "Label1")->text(),
              QStringLiteral("wpisz zero jeśli ma być bistabilny"));
    EXPECT_EQ(child<QGroupBox>(form, "GroupBoxDescription")->title(),
              QStringLiteral("Opis kanału"));
    EXPECT_EQ(child<QGroupBox>(form, "GroupBoxTime")->title(),
              QStringLiteral("Czas działania przekaźnika (dokładność 0,1 sek.)"));
    EXPECT_EQ(transientMode().text(), QStringLiteral("Tryb chwilowy"));
    EXPECT_EQ(doublePress().text(), QStringLiteral("Podwójne przyciśnięcie"));
    EXPECT_EQ(child<QPushButton>(form, "ButtonOk")->text(), QStringLiteral("&OK"));
    EXPECT_EQ(child<QPushButton>(form, "ButtonCancel")->text(), QStringLiteral("&Anuluj"));

    EXPECT_EQ(description().text(), QStringLiteral("Brama wjazdowa"));
    EXPECT_EQ(description().maxLength(), 200);
    EXPECT_EQ(time().maxLength(), 6);
    EXPECT_EQ(form.focusWidget(), &description());
    EXPECT_EQ(time().text(), QStringLiteral("0,5"));
    EXPECT_EQ(time().selectedText(), QStringLiteral("0,5"));
}

TEST_F(EditChannelFormTest, TimeFieldTakesDigitsAndOneSeparator) {
    open(0);
    // The first digit replaces the selected time.
    QTest::keyClicks(&time(), "1,2,5a-.");
    EXPECT_EQ(time().text(), QStringLiteral("1,25"));
    QTest::keyClick(&time(), Qt::Key_Backspace);
    QTest::keyClick(&time(), Qt::Key_Backspace);
    QTest::keyClick(&time(), Qt::Key_Backspace);
    QTest::keyClicks(&time(), ",7");
    EXPECT_EQ(time().text(), QStringLiteral("1,7"));
    QTest::keyClicks(&time(), "7777");
    EXPECT_EQ(time().text(), QStringLiteral("1,7777")) << "six characters at most";
    QTest::keyClick(&time(), Qt::Key_Home);
    QTest::keyClick(&time(), Qt::Key_Delete);
    EXPECT_EQ(time().text(), QStringLiteral(",7777")) << "keys without a character work";
}

TEST_F(EditChannelFormTest, DescriptionRefusesWhatTheCodePageCannotHold) {
    open(0);
    description().clear();
    for (const QString& typed : {QStringLiteral("ż"), QStringLiteral("→"), QStringLiteral("€")})
        type(description(), typed);
    EXPECT_EQ(description().text(), QStringLiteral("ż€"));

    QApplication::clipboard()->setText(QStringLiteral("Brama → garaż"));
    description().paste();
    EXPECT_EQ(description().text(), QStringLiteral("ż€")) << "the paste is refused whole";

    description().clear();
    QApplication::clipboard()->setText(QString(250, QLatin1Char('x')));
    description().paste();
    EXPECT_EQ(description().text(), QString(200, QLatin1Char('x')));
}

TEST_F(EditChannelFormTest, MomentaryModeDisablesTimeAndDoublePressButKeepsThem) {
    ChannelEntry& entry = sheet.channels[2];
    entry.time = 25;
    entry.doublePress = true;
    open(2);
    EXPECT_TRUE(time().isEnabled());
    EXPECT_TRUE(doublePress().isEnabled());

    toggle(transientMode());
    EXPECT_TRUE(transientMode().isChecked());
    EXPECT_FALSE(time().isEnabled());
    EXPECT_FALSE(doublePress().isEnabled());
    EXPECT_EQ(time().text(), QStringLiteral("2,5"));
    EXPECT_TRUE(doublePress().isChecked());

    click("ButtonOk");
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(entry.transientMode);
    EXPECT_EQ(entry.time, 25);
    EXPECT_TRUE(entry.doublePress);

    // Opened again in momentary mode, the two controls start disabled.
    open(2);
    EXPECT_FALSE(time().isEnabled());
    EXPECT_FALSE(doublePress().isEnabled());
    toggle(transientMode());
    EXPECT_TRUE(time().isEnabled());
    EXPECT_TRUE(doublePress().isEnabled());
}

TEST_F(EditChannelFormTest, OkStaysOpenOnAnUnreadableTimeAndStoresAReadableOne) {
    open(0);
    const SettingsSheet before = sheet;
    time().clear();
    click("ButtonOk");
    EXPECT_TRUE(form.isVisible());
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(prompts.asked()[0].text, "Należy podać czas z dokładnośćią do 0,1 sek.");
    EXPECT_EQ(prompts.asked()[0].caption, "Konfigor");
    EXPECT_EQ(sheet.channels, before.channels);

    QTest::keyClicks(&time(), "2,5");
    description().clear();
    for (const QString& typed : {QStringLiteral("Ż"), QStringLiteral("a"), QStringLiteral("l")})
        type(description(), typed);
    click("ButtonOk");
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(sheet.channels[0].time, 25);
    EXPECT_EQ(sheet.channels[0].description.view(), "\xAF"
                                                    "al");
    EXPECT_EQ(channelModeText(sheet.channels[0], texts), "Monostabilny [2.5]");
    EXPECT_EQ(prompts.asked().size(), 1u);
}

TEST_F(EditChannelFormTest, CancelAndEscapeChangeNothing) {
    const SettingsSheet before = sheet;
    for (const bool escape : {false, true}) {
        open(3);
        QTest::keyClicks(&time(), "9");
        description().setText(QStringLiteral("nowy opis"));
        toggle(transientMode());
        if (escape)
            QTest::keyClick(&time(), Qt::Key_Escape);
        else
            click("ButtonCancel");
        EXPECT_FALSE(form.isVisible()) << escape;
    }
    EXPECT_EQ(sheet.channels, before.channels);
    EXPECT_EQ(store.count(), 1u);
    EXPECT_TRUE(saveState.savedToDisk());
}

TEST_F(EditChannelFormTest, DoesNotOpenWhileAnOperationIsPending) {
    session.operationPending = true;
    EXPECT_FALSE(form.openFor(editor, 0));
    EXPECT_FALSE(form.isVisible());
}

} // namespace
} // namespace konfigor
