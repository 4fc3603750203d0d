#include "gui/pin_forms.h"

#include "common/user_prompts.h"
#include "gui/control_texts.h"
#include "session/pin_rules.h"
#include "texts/text_table.h"
#include "texts/untranslated_texts.h"

#include <array>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace konfigor {
namespace {

constexpr int kOffsetFromMainWindow = 100;
constexpr int kEditWidthInCharacters = 24;

QLabel* label(QWidget* parent, const char* objectName) {
    auto* text = new QLabel(parent);
    text->setObjectName(QString::fromLatin1(objectName));
    return text;
}

// At most five ASCII digits, masked with '*' whatever the style's own mask character.
QLineEdit* pinEdit(QWidget* parent, const char* objectName) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(objectName));
    edit->setMaxLength(static_cast<int>(kPinDigits));
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    edit->setEchoMode(QLineEdit::Password);
    edit->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * kEditWidthInCharacters);
    return edit;
}

// The standard buttons bring the platform's OK and Cancel texts, kept when the text table
// leaves the captions empty.
QDialogButtonBox* okCancelButtons(QDialog& dialog, QPushButton*& ok, QPushButton*& cancel) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    ok = buttons->button(QDialogButtonBox::Ok);
    ok->setObjectName(QStringLiteral("ButtonOk"));
    ok->setDefault(true);
    cancel = buttons->button(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("ButtonCancel"));
    for (QPushButton* button : {ok, cancel})
        button->setProperty("standardText", button->text());
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return buttons;
}

void keepStandardText(QPushButton& button) {
    if (button.text().isEmpty())
        button.setText(button.property("standardText").toString());
}

// The PIN windows open at a fixed offset from the main window's corner, not centred.
void placeOverMainWindow(QWidget& dialog) {
    if (const QWidget* owner = dialog.parentWidget())
        dialog.move(owner->window()->pos() + QPoint(kOffsetFromMainWindow, kOffsetFromMainWindow));
}

void tell(UserPrompts& prompts, const TextTable& texts, Msg message, PromptIcon icon) {
    prompts.ask({.caption = std::string(untranslated(Untranslated::DialogTitle)),
                 .text = texts.text(message),
                 .icon = icon});
}

} // namespace

// --- TFormPin ---

TFormPin::TFormPin(UserPrompts& prompts, const TextTable& texts, QWidget* parent)
    : QDialog(parent), prompts_(prompts), texts_(texts) {
    setObjectName(QStringLiteral("TFormPin"));
    editPin_ = pinEdit(this, "EditPin");
    QDialogButtonBox* buttons = okCancelButtons(*this, buttonOk_, buttonCancel_);
    connect(buttons, &QDialogButtonBox::accepted, this, &TFormPin::ButtonOkClick);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(label(this, "Label1"));
    layout->addWidget(editPin_);
    layout->addWidget(buttons);

    applyTexts();
}

QString TFormPin::pin() const {
    return editPin_->text();
}

void TFormPin::applyTexts() {
    keepControlTexts(*this, "TFormPin", texts_);
    keepStandardText(*buttonOk_);
    keepStandardText(*buttonCancel_);
}

void TFormPin::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    editPin_->clear();
    placeOverMainWindow(*this);
    editPin_->setFocus();
}

void TFormPin::ButtonOkClick() {
    if (isFullPin(editPin_->text().toStdString())) {
        accept();
        return;
    }
    tell(prompts_, texts_, Msg::EnteredPinTooShort, PromptIcon::Information);
    editPin_->setFocus();
}

// --- TFormPinEdit ---

TFormPinEdit::TFormPinEdit(UserPrompts& prompts, const TextTable& texts, QWidget* parent)
    : QDialog(parent), prompts_(prompts), texts_(texts) {
    setObjectName(QStringLiteral("TFormPinEdit"));
    checkBoxPinRequierd_ = new QCheckBox(this);
    checkBoxPinRequierd_->setObjectName(QStringLiteral("CheckBoxPinRequierd"));
    connect(checkBoxPinRequierd_, &QCheckBox::toggled, this,
            &TFormPinEdit::CheckBoxPinRequierdClick);
    label1_ = label(this, "Label1");
    editPin_ = pinEdit(this, "EditPin");
    label2_ = label(this, "Label2");
    editPin2_ = pinEdit(this, "EditPin2");
    QDialogButtonBox* buttons = okCancelButtons(*this, buttonOk_, buttonCancel_);
    connect(buttons, &QDialogButtonBox::accepted, this, &TFormPinEdit::ButtonOkClick);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(checkBoxPinRequierd_);
    layout->addWidget(label1_);
    layout->addWidget(editPin_);
    layout->addWidget(label2_);
    layout->addWidget(editPin2_);
    layout->addWidget(buttons);

    CheckBoxPinRequierdClick();
    applyTexts();
}

void TFormPinEdit::setPinRequired(bool required) {
    checkBoxPinRequierd_->setEnabled(true);
    checkBoxPinRequierd_->setChecked(required);
    // Also when the box kept its state and sent no signal.
    CheckBoxPinRequierdClick();
}

bool TFormPinEdit::isPinRequired() const {
    return checkBoxPinRequierd_->isChecked();
}

QString TFormPinEdit::pin() const {
    return editPin_->text();
}

void TFormPinEdit::applyTexts() {
    keepControlTexts(*this, "TFormPinEdit", texts_);
    keepStandardText(*buttonOk_);
    keepStandardText(*buttonCancel_);
}

void TFormPinEdit::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    editPin_->clear();
    editPin2_->clear();
    placeOverMainWindow(*this);
    if (isPinRequired())
        editPin_->setFocus();
}

void TFormPinEdit::CheckBoxPinRequierdClick() {
    const bool required = isPinRequired();
    const std::array<QWidget*, 4> controls{label1_, editPin_, label2_, editPin2_};
    for (QWidget* control : controls)
        control->setEnabled(required);
}

void TFormPinEdit::ButtonOkClick() {
    switch (checkNewPin(isPinRequired(), editPin_->text().toStdString(),
                        editPin2_->text().toStdString())) {
    case NewPinRefusal::None:
        accept();
        return;
    case NewPinRefusal::TooShort:
        tell(prompts_, texts_, Msg::NewPinTooShort, PromptIcon::Information);
        break;
    case NewPinRefusal::AllZeros:
        tell(prompts_, texts_, Msg::PinAllZeros, PromptIcon::Warning);
        break;
    case NewPinRefusal::Differs:
        tell(prompts_, texts_, Msg::PinsDiffer, PromptIcon::Warning);
        editPin_->clear();
        editPin2_->clear();
        break;
    }
    editPin_->setFocus();
}

// --- QtPinDialogs ---

QtPinDialogs::QtPinDialogs(QWidget* mainWindow, UserPrompts& prompts, const TextTable& texts)
    : formPinEdit_(new TFormPinEdit(prompts, texts, mainWindow)),
      formPin_(new TFormPin(prompts, texts, mainWindow)) {}

QtPinDialogs::~QtPinDialogs() {
    delete formPin_.data();
    delete formPinEdit_.data();
}

bool QtPinDialogs::isPinEntryVisible() const {
    const TFormPin* form = formPin_.data();
    return form != nullptr && form->isVisible();
}

std::optional<std::string> QtPinDialogs::askPin() {
    TFormPin* form = formPin_.data();
    if (form == nullptr || form->isVisible())
        return std::nullopt;
    const int result = form->exec();
    // The window may be gone with the main window when the loop ends.
    if (result != QDialog::Accepted || formPin_.isNull())
        return std::nullopt;
    return form->pin().toStdString();
}

std::optional<PinDialogs::NewPin> QtPinDialogs::askNewPin(bool required) {
    TFormPinEdit* form = formPinEdit_.data();
    if (form == nullptr || form->isVisible())
        return std::nullopt;
    form->setPinRequired(required);
    const int result = form->exec();
    if (result != QDialog::Accepted || formPinEdit_.isNull())
        return std::nullopt;
    if (!form->isPinRequired())
        return NewPin{};
    return NewPin{.required = true, .pin = form->pin().toStdString()};
}

void QtPinDialogs::applyTexts() {
    if (formPinEdit_)
        formPinEdit_->applyTexts();
    if (formPin_)
        formPin_->applyTexts();
}

} // namespace konfigor
