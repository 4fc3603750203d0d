#include "gui/edit_channel_form.h"

#include "editors/channel_editor.h"
#include "gui/control_texts.h"
#include "gui/qt_text.h"
#include "gui/widgets/cp1250_validator.h"
#include "gui/widgets/dialog_buttons.h"
#include "gui/widgets/title_room.h"
#include "gui/window_placement.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace konfigor {
namespace {

constexpr int kDescriptionWidthInCharacters = 45;
constexpr int kTimeWidthInCharacters = 10;

// The core reads and writes one byte for the separator; a locale whose separator is no ASCII
// character gets the point.
char systemDecimalSeparator() {
    const QString point = QLocale().decimalPoint();
    if (point.size() == 1 && point.front().unicode() < 0x80)
        return static_cast<char>(point.front().unicode());
    return '.';
}

// Keys that type no character (arrows, Delete) and control keys (Enter, Esc, Tab, shortcuts)
// keep their meaning; backspace counts as typed, as the time field's rule names it.
bool typesCharacter(const QKeyEvent& key) {
    const QString text = key.text();
    if (text.isEmpty())
        return false;
    const char16_t first = text.front().unicode();
    return first == u'\b' || (first >= u' ' && first != u'\x7F');
}

QGroupBox* group(QWidget* parent, const char* objectName, QLayout* contents) {
    auto* box = new QGroupBox(parent);
    box->setObjectName(QString::fromLatin1(objectName));
    box->setLayout(contents);
    return box;
}

} // namespace

TEditChannelForm::TEditChannelForm(const TextTable& texts, QWidget* parent)
    : QDialog(parent), texts_(texts) {
    setObjectName(QStringLiteral("EditChannelForm"));

    labelChannel_ = new QLabel(this);
    labelChannel_->setObjectName(QStringLiteral("LabelChannel"));

    editDescription_ = new QLineEdit(this);
    editDescription_->setObjectName(QStringLiteral("EditDescription"));
    editDescription_->setMaxLength(kChannelDescriptionMaxLength);
    editDescription_->setValidator(new Cp1250Validator(editDescription_));
    editDescription_->setMinimumWidth(fontMetrics().averageCharWidth() *
                                      kDescriptionWidthInCharacters);
    auto* descriptionLayout = new QVBoxLayout;
    descriptionLayout->addWidget(editDescription_);

    editTime_ = new QLineEdit(this);
    editTime_->setObjectName(QStringLiteral("EditTime"));
    editTime_->setMaxLength(kChannelTimeMaxLength);
    editTime_->setFixedWidth(fontMetrics().averageCharWidth() * kTimeWidthInCharacters);
    editTime_->installEventFilter(this);
    auto* label1 = new QLabel(this);
    label1->setObjectName(QStringLiteral("Label1"));
    auto* timeLayout = new QHBoxLayout;
    timeLayout->addWidget(editTime_);
    timeLayout->addWidget(label1, 1);

    cbTransientMode_ = new QCheckBox(this);
    cbTransientMode_->setObjectName(QStringLiteral("CBTransientMode"));
    connect(cbTransientMode_, &QCheckBox::toggled, this, &TEditChannelForm::CBTransientModeClick);
    cbDblSwitch_ = new QCheckBox(this);
    cbDblSwitch_->setObjectName(QStringLiteral("CBDblSwitch"));

    // OK checks the time first.
    const OkCancelRow buttons = okCancelRow(*this, false);
    connect(buttons.ok, &QPushButton::clicked, this, &TEditChannelForm::ButtonOkClick);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(labelChannel_);
    layout->addWidget(group(this, "GroupBoxDescription", descriptionLayout));
    layout->addWidget(group(this, "GroupBoxTime", timeLayout));
    layout->addWidget(cbTransientMode_);
    layout->addWidget(cbDblSwitch_);
    layout->addLayout(buttons.layout);
    keepRoomForTitle(*this, *layout);

    applyTexts();
}

void TEditChannelForm::applyTexts() {
    keepControlTexts(*this, "TEditChannelForm", texts_);
}

bool TEditChannelForm::openFor(ChannelEditor& editor, std::size_t channel) {
    if (!editor.canOpen())
        return false;
    editor_ = &editor;
    channel_ = channel;
    decimalSeparator_ = systemDecimalSeparator();
    const ChannelForm form = editor.open(channel, decimalSeparator_);
    labelChannel_->setText(toQString(form.heading));
    editDescription_->setText(toQString(form.description));
    editTime_->setText(toQString(form.time));
    cbDblSwitch_->setChecked(form.doublePress);
    cbTransientMode_->setChecked(form.transientMode);
    // Also when the box kept its state and sent no signal.
    CBTransientModeClick();
    centreOverParent(*this);
    open();
    return true;
}

bool TEditChannelForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == editTime_ && event->type() == QEvent::KeyPress) {
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (typesCharacter(key)) {
            const std::string current = editTime_->text().toStdString();
            for (const char32_t typed : key.text().toUcs4()) {
                if (!acceptsTimeCharacter(current, typed, decimalSeparator_))
                    return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TEditChannelForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    editDescription_->setFocus();
    editTime_->selectAll();
}

// The time and double press do not apply to a momentary channel; their values stay and are
// stored as they are.
void TEditChannelForm::CBTransientModeClick() {
    const bool momentary = cbTransientMode_->isChecked();
    editTime_->setEnabled(!momentary);
    cbDblSwitch_->setEnabled(!momentary);
}

void TEditChannelForm::ButtonOkClick() {
    if (editor_ == nullptr)
        return;
    const ChannelForm form{.description = editDescription_->text().toStdString(),
                           .time = editTime_->text().toStdString(),
                           .transientMode = cbTransientMode_->isChecked(),
                           .doublePress = cbDblSwitch_->isChecked()};
    if (editor_->accept(channel_, form, decimalSeparator_))
        accept();
}

} // namespace konfigor
