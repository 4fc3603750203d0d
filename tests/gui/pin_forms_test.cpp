#include "gui/pin_forms.h"
#include "support/scripted_prompts.h"
#include "texts/text_table.h"

#include <array>
#include <functional>
#include <iterator>
#include <optional>
#include <string>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace konfigor {
namespace {

using testing_support::ScriptedPrompts;

// Far beyond what a dialog needs; only a fault that leaves one open ever waits this long.
constexpr int kWatchdogMs = 10000;
const QPoint kMainWindowCorner{130, 90};
const QPoint kOffset{100, 100};

template <class Widget>
Widget& child(const QWidget& parent, const char* name) {
    Widget* found = parent.findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return *found;
}

// One key press per character, so characters that no key of the test's keyboard names
// (other scripts' digits) go through the same path as typed ones.
void type(QWidget& widget, const QString& characters) {
    for (const QChar character : characters) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(character));
        QApplication::sendEvent(&widget, &press);
    }
}

void click(const QWidget& form, const char* buttonName) {
    QTest::mouseClick(&child<QPushButton>(form, buttonName), Qt::LeftButton);
}

Prompt message(const char* text, PromptIcon icon) {
    return {.caption = "Konfigor", .text = text, .icon = icon};
}

class PinFormsTest : public testing::Test {
protected:
    PinFormsTest() {
        mainWindow.resize(600, 400);
        mainWindow.move(kMainWindowCorner);
        mainWindow.show();
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [this] {
            for (QDialog* form : std::array<QDialog*, 2>{&pinForm(), &editForm()}) {
                if (form->isVisible()) {
                    ADD_FAILURE() << form->objectName().toStdString() << " was left open";
                    form->reject();
                }
            }
        });
    }

    // Runs `action` once the dialog's modal loop runs; the watchdog ends a loop that the
    // action left open, so a fault fails the test instead of hanging it.
    void whileOpen(QDialog& form, std::function<void()> action) {
        QTimer::singleShot(0, &form, [&form, action = std::move(action)] {
            EXPECT_TRUE(form.isVisible());
            action();
        });
        watchdog.start(kWatchdogMs);
    }

    TFormPin& pinForm() { return child<TFormPin>(mainWindow, "TFormPin"); }
    TFormPinEdit& editForm() { return child<TFormPinEdit>(mainWindow, "TFormPinEdit"); }
    QLineEdit& edit(const QDialog& form, const char* name) { return child<QLineEdit>(form, name); }

    QWidget mainWindow;
    ScriptedPrompts prompts;
    TextTable texts;
    QtPinDialogs dialogs{&mainWindow, prompts, texts};
    QTimer watchdog;
};

TEST_F(PinFormsTest, ControlsCarryTheirNamesAndCaptions) {
    struct Case {
        const char* form;
        const char* control; // empty: the window itself
        const char* caption;
    };
    const Case cases[] = {
        {"TFormPin", "", "Zabezpieczenie odbiornika KVR ZOR"},
        {"TFormPin", "Label1", "Podaj PIN odbiornika KVR ZOR"},
        {"TFormPinEdit", "", "Zabezpieczenie odbiornika KVR ZOR"},
        {"TFormPinEdit", "CheckBoxPinRequierd", "Kod PIN wymagany"},
        {"TFormPinEdit", "Label1", "Podaj PIN odbiornika KVR ZOR"},
        {"TFormPinEdit", "Label2", "Podaj PIN ponownie"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.form) + "." + c.control);
        const auto& form = child<QDialog>(mainWindow, c.form);
        QString caption;
        if (*c.control == '\0')
            caption = form.windowTitle();
        else if (const auto* text = form.findChild<QLabel*>(QString::fromLatin1(c.control)))
            caption = text->text();
        else
            caption = child<QCheckBox>(form, c.control).text();
        EXPECT_EQ(caption, QString::fromUtf8(c.caption));
    }
    for (const QDialog* form : std::array<const QDialog*, 2>{&pinForm(), &editForm()}) {
        SCOPED_TRACE(form->objectName().toStdString());
        // The table leaves the buttons' captions empty: the platform's texts stay.
        EXPECT_FALSE(child<QPushButton>(*form, "ButtonOk").text().isEmpty());
        EXPECT_FALSE(child<QPushButton>(*form, "ButtonCancel").text().isEmpty());
        EXPECT_TRUE(child<QPushButton>(*form, "ButtonOk").isDefault());
    }
}

TEST_F(PinFormsTest, PinEditsTakeAtMostFiveAsciiDigitsAndShowStars) {
    struct Case {
        const char* typed;
        const char* kept;
    };
    const Case cases[] = {
        {"00123", "00123"},
        {"1a2 b3-,", "123"},
        {"1234567", "12345"},
        {"\u0663\u0664\uff15", ""}, // Arabic-Indic and full-width digits
    };
    editForm().setPinRequired(true);
    const std::array<QLineEdit*, 3> edits{&edit(pinForm(), "EditPin"), &edit(editForm(), "EditPin"),
                                          &edit(editForm(), "EditPin2")};
    for (QLineEdit* field : edits) {
        for (const Case& c : cases) {
            SCOPED_TRACE(field->parentWidget()->objectName().toStdString() + "." +
                         field->objectName().toStdString() + " " + c.typed);
            field->clear();
            type(*field, QString::fromUtf8(c.typed));
            const QString kept = QString::fromUtf8(c.kept);
            EXPECT_EQ(field->text(), kept);
            EXPECT_EQ(field->displayText(), QString(kept.size(), u'*'));
        }
        // Pasted text goes through the same check: refused whole.
        field->setText(QStringLiteral("12"));
        field->insert(QStringLiteral("3x"));
        EXPECT_EQ(field->text(), QStringLiteral("12"));
    }
}

TEST_F(PinFormsTest, PinEntryRefusesFewerThanFiveDigitsAndTakesFiveWithLeadingZeros) {
    whileOpen(pinForm(), [this] {
        QLineEdit& pin = edit(pinForm(), "EditPin");
        type(pin, QStringLiteral("0012"));
        click(pinForm(), "ButtonOk");
        EXPECT_TRUE(pinForm().isVisible());
        EXPECT_EQ(pinForm().focusWidget(), &pin);
        ASSERT_EQ(prompts.asked().size(), 1U);
        EXPECT_EQ(prompts.asked().back(),
                  message("PIN musi zawierać 5 cyfr.", PromptIcon::Information));
        type(pin, QStringLiteral("3"));
        // Enter in the edit presses the default button.
        QTest::keyClick(&pin, Qt::Key_Return);
    });
    EXPECT_EQ(dialogs.askPin(), std::optional<std::string>("00123"));
    EXPECT_FALSE(pinForm().isVisible());
    EXPECT_EQ(prompts.asked().size(), 1U);
}

TEST_F(PinFormsTest, CancelAnswersNothing) {
    whileOpen(pinForm(), [this] {
        type(edit(pinForm(), "EditPin"), QStringLiteral("12345"));
        click(pinForm(), "ButtonCancel");
    });
    EXPECT_EQ(dialogs.askPin(), std::nullopt);

    whileOpen(editForm(), [this] {
        type(edit(editForm(), "EditPin"), QStringLiteral("12345"));
        type(edit(editForm(), "EditPin2"), QStringLiteral("12345"));
        click(editForm(), "ButtonCancel");
    });
    EXPECT_EQ(dialogs.askNewPin(true), std::nullopt);
    EXPECT_TRUE(prompts.asked().empty());
}

TEST_F(PinFormsTest, BothOpenBesideTheMainWindowWithEmptyEdits) {
    edit(pinForm(), "EditPin").setText(QStringLiteral("11111"));
    whileOpen(pinForm(), [this] {
        EXPECT_EQ(pinForm().pos(), kMainWindowCorner + kOffset);
        EXPECT_TRUE(edit(pinForm(), "EditPin").text().isEmpty());
        EXPECT_TRUE(dialogs.isPinEntryVisible());
        EXPECT_EQ(dialogs.askPin(), std::nullopt); // a second one does not open
        pinForm().reject();
    });
    EXPECT_EQ(dialogs.askPin(), std::nullopt);
    EXPECT_FALSE(dialogs.isPinEntryVisible());

    // The place follows the main window.
    mainWindow.move(kMainWindowCorner + QPoint(40, 30));
    editForm().setPinRequired(true);
    edit(editForm(), "EditPin").setText(QStringLiteral("22222"));
    edit(editForm(), "EditPin2").setText(QStringLiteral("33333"));
    whileOpen(editForm(), [this] {
        EXPECT_EQ(editForm().pos(), kMainWindowCorner + QPoint(40, 30) + kOffset);
        EXPECT_TRUE(edit(editForm(), "EditPin").text().isEmpty());
        EXPECT_TRUE(edit(editForm(), "EditPin2").text().isEmpty());
        editForm().reject();
    });
    EXPECT_EQ(dialogs.askNewPin(true), std::nullopt);
}

TEST_F(PinFormsTest, NewPinRefusalsKeepTheDialogOpen) {
    struct Case {
        const char* pin;
        const char* repeated;
        Prompt shown;
        bool cleared;
    };
    const Case cases[] = {
        {"1234", "1234", message("PIN musi zawierać 5 cyfr.", PromptIcon::Information), false},
        {"00000", "00000", message("Kod PIN nie może zawierać samych zer.", PromptIcon::Warning),
         false},
        {"12345", "12346", message("Kody PIN nie są takie same.", PromptIcon::Warning), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.pin) + " / " + c.repeated);
        whileOpen(editForm(), [&] {
            QLineEdit& pin = edit(editForm(), "EditPin");
            QLineEdit& repeated = edit(editForm(), "EditPin2");
            type(pin, QString::fromLatin1(c.pin));
            type(repeated, QString::fromLatin1(c.repeated));
            click(editForm(), "ButtonOk");
            EXPECT_TRUE(editForm().isVisible());
            ASSERT_FALSE(prompts.asked().empty());
            EXPECT_EQ(prompts.asked().back(), c.shown);
            EXPECT_EQ(pin.text(), c.cleared ? QString() : QString::fromLatin1(c.pin));
            EXPECT_EQ(repeated.text(), c.cleared ? QString() : QString::fromLatin1(c.repeated));
            click(editForm(), "ButtonCancel");
        });
        EXPECT_EQ(dialogs.askNewPin(true), std::nullopt);
    }
    EXPECT_EQ(prompts.asked().size(), std::size(cases));
}

TEST_F(PinFormsTest, NewPinAcceptedWhenRequiredAndTypedTwice) {
    whileOpen(editForm(), [this] {
        type(edit(editForm(), "EditPin"), QStringLiteral("00700"));
        type(edit(editForm(), "EditPin2"), QStringLiteral("00700"));
        click(editForm(), "ButtonOk");
    });
    const auto answer = dialogs.askNewPin(true);
    ASSERT_TRUE(answer.has_value());
    EXPECT_TRUE(answer->required);
    EXPECT_EQ(answer->pin, "00700");
    EXPECT_TRUE(prompts.asked().empty());
}

TEST_F(PinFormsTest, EditsFollowTheRequirementBoxAndOffClosesWithoutChecks) {
    const std::array<const char*, 4> followers{"Label1", "EditPin", "Label2", "EditPin2"};
    const auto expectFollowers = [&](bool enabled) {
        for (const char* name : followers)
            EXPECT_EQ(child<QWidget>(editForm(), name).isEnabled(), enabled) << name;
    };
    whileOpen(editForm(), [&] {
        auto& box = child<QCheckBox>(editForm(), "CheckBoxPinRequierd");
        EXPECT_TRUE(box.isEnabled());
        EXPECT_FALSE(box.isChecked());
        expectFollowers(false);
        box.click();
        expectFollowers(true);
        type(edit(editForm(), "EditPin"), QStringLiteral("12"));
        box.click();
        expectFollowers(false);
        click(editForm(), "ButtonOk");
    });
    const auto answer = dialogs.askNewPin(false);
    ASSERT_TRUE(answer.has_value());
    EXPECT_FALSE(answer->required);
    EXPECT_TRUE(answer->pin.empty());
    EXPECT_TRUE(prompts.asked().empty());

    // Opened with the requirement on, the edits are ready at once.
    whileOpen(editForm(), [&] {
        expectFollowers(true);
        editForm().reject();
    });
    EXPECT_EQ(dialogs.askNewPin(true), std::nullopt);
}

} // namespace
} // namespace konfigor
