#include "gui/widgets/cp1250_validator.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace konfigor {
namespace {

const QString kPolish = QStringLiteral("Zażółć gęślą jaźń");

TEST(Cp1250Validator, AcceptsExactlyWhatTheCodePageHolds) {
    struct Case {
        const char* name;
        QString text;
        QValidator::State expected;
    };
    const Case kCases[] = {
        {"Polish letters", kPolish, QValidator::Acceptable},
        {"euro sign", QStringLiteral("€"), QValidator::Acceptable},
        {"German letters of the code page", QStringLiteral("Ärger über Öl"),
         QValidator::Acceptable},
        {"empty text", QString(), QValidator::Acceptable},
        {"Cyrillic letter", QStringLiteral("pilot ж"), QValidator::Invalid},
        {"CJK letter", QStringLiteral("漢"), QValidator::Invalid},
        {"emoji outside the basic plane", QStringLiteral("brama 🙂"), QValidator::Invalid},
        {"Latin-1 letter missing from the code page", QStringLiteral("señor"), QValidator::Invalid},
        {"lone surrogate", QStringLiteral("a") + QChar(0xD83D), QValidator::Invalid},
    };
    const Cp1250Validator validator;
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        QString text = c.text;
        int position = static_cast<int>(text.size());
        EXPECT_EQ(validator.validate(text, position), c.expected);
        EXPECT_EQ(text, c.text);
    }
}

// A description field as the windows build it.
class Cp1250FieldTest : public testing::Test {
protected:
    Cp1250FieldTest() {
        field.setMaxLength(255);
        field.setValidator(new Cp1250Validator(&field));
        field.setText(QStringLiteral("Opis"));
    }

    // QTest::keyClicks goes through Latin-1, so it cannot type the characters that matter here.
    void type(const QString& character) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, character);
        QApplication::sendEvent(&field, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, character);
        QApplication::sendEvent(&field, &release);
    }

    void pasteWithKeys(const QString& text) {
        QGuiApplication::clipboard()->setText(text);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier);
        QApplication::sendEvent(&field, &press);
    }

    QLineEdit field;
};

TEST_F(Cp1250FieldTest, TypedCharacterTheCodePageLacksIsTurnedAway) {
    struct Case {
        QString typed;
        QString expected;
    };
    const Case kCases[] = {
        {QStringLiteral("ż"), QStringLiteral("Opisż")},
        {QStringLiteral("€"), QStringLiteral("Opis€")},
        {QStringLiteral("ж"), QStringLiteral("Opis")},
        {QStringLiteral("漢"), QStringLiteral("Opis")},
        {QStringLiteral("🙂"), QStringLiteral("Opis")},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.typed.toStdString());
        field.setText(QStringLiteral("Opis"));
        type(c.typed);
        EXPECT_EQ(field.text(), c.expected);
    }
}

TEST_F(Cp1250FieldTest, LongPolishPasteIsCutToTheFieldAndForeignPasteRefused) {
    QString longText;
    while (longText.size() < 300)
        longText += kPolish + u' ';
    longText.truncate(300);
    field.clear();

    pasteWithKeys(longText);
    EXPECT_EQ(field.text(), longText.left(255));

    field.setText(QStringLiteral("Opis"));
    pasteWithKeys(QStringLiteral(" pilota ж"));
    EXPECT_EQ(field.text(), QStringLiteral("Opis"));
}

} // namespace
} // namespace konfigor
