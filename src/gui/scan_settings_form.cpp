#include "gui/scan_settings_form.h"

#include "gui/control_texts.h"
#include "gui/qt_text.h"
#include "gui/widgets/dialog_buttons.h"
#include "gui/widgets/title_room.h"
#include "gui/window_placement.h"
#include "texts/text_table.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace konfigor {
namespace {

constexpr std::string_view kWindowClass = "TScanSettingsForm";

QCheckBox* checkBox(QWidget* parent, const char* objectName, QLayout* layout) {
    auto* box = new QCheckBox(parent);
    box->setObjectName(QString::fromLatin1(objectName));
    layout->addWidget(box);
    return box;
}

QGroupBox* group(QWidget* parent, const char* objectName) {
    auto* box = new QGroupBox(parent);
    box->setObjectName(QString::fromLatin1(objectName));
    box->setLayout(new QVBoxLayout);
    return box;
}

} // namespace

TScanSettingsForm::TScanSettingsForm(const TextTable& texts, QWidget* parent)
    : QDialog(parent), texts_(texts) {
    setObjectName(QStringLiteral("ScanSettingsForm"));
    setModal(true);

    QGroupBox* channels = group(this, "GroupBoxChannels");
    checkBoxC1_ = checkBox(channels, "CheckBoxC1", channels->layout());
    checkBoxC2_ = checkBox(channels, "CheckBoxC2", channels->layout());

    QGroupBox* remotes = group(this, "GroupBoxRemotes");
    checkBoxR1_ = checkBox(remotes, "CheckBoxR1", remotes->layout());
    checkBoxR2_ = checkBox(remotes, "CheckBoxR2", remotes->layout());
    checkBoxR3_ = checkBox(remotes, "CheckBoxR3", remotes->layout());
    checkBoxR4_ = checkBox(remotes, "CheckBoxR4", remotes->layout());
    checkBoxR5_ = checkBox(remotes, "CheckBoxR5", remotes->layout());

    QGroupBox* extra = group(this, "GroupBoxExtra");
    checkBoxNoEmpty_ = checkBox(extra, "CheckBoxNoEmpty", extra->layout());

    const OkCancelRow buttons = okCancelRow(*this);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(channels);
    layout->addWidget(remotes);
    layout->addWidget(extra);
    layout->addLayout(buttons.layout);
    keepRoomForTitle(*this, *layout);

    keepControlTexts(*this, kWindowClass, texts);
    fillEmptyButtonCaptions();
}

std::optional<SearchCriteria> TScanSettingsForm::edit(const SearchCriteria& current) {
    showCriteria(current);
    centreOverParent(*this);
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return criteria();
}

void TScanSettingsForm::showCriteria(const SearchCriteria& criteria) {
    checkBoxC1_->setChecked(criteria.channelDescriptions);
    checkBoxC2_->setChecked(criteria.channelTimes);
    checkBoxR1_->setChecked(criteria.remoteDescriptions);
    checkBoxR2_->setChecked(criteria.serialWords);
    checkBoxR3_->setChecked(criteria.codeCounters);
    checkBoxR4_->setChecked(criteria.buttonMasks);
    checkBoxR5_->setChecked(criteria.copyLocks);
    checkBoxNoEmpty_->setChecked(criteria.skipEmptySlots);
}

SearchCriteria TScanSettingsForm::criteria() const {
    return {.channelDescriptions = checkBoxC1_->isChecked(),
            .channelTimes = checkBoxC2_->isChecked(),
            .remoteDescriptions = checkBoxR1_->isChecked(),
            .serialWords = checkBoxR2_->isChecked(),
            .codeCounters = checkBoxR3_->isChecked(),
            .buttonMasks = checkBoxR4_->isChecked(),
            .copyLocks = checkBoxR5_->isChecked(),
            .skipEmptySlots = checkBoxNoEmpty_->isChecked()};
}

// The control texts were applied again before this, by the filter on the window.
void TScanSettingsForm::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        fillEmptyButtonCaptions();
}

void TScanSettingsForm::fillEmptyButtonCaptions() {
    fillEmptyCaption(*this, "ButtonOk", texts_.text(Keyed::SearchDialogOkButton));
    fillEmptyCaption(*this, "ButtonCancel", texts_.text(Keyed::SearchDialogCancelButton));
}

} // namespace konfigor
