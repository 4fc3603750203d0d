#include "gui/virtual_remote_config_form.h"

#include "gui/control_texts.h"
#include "gui/qt_text.h"
#include "gui/widgets/cp1250_validator.h"
#include "gui/window_placement.h"
#include "texts/text_table.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace konfigor {
namespace {

constexpr int kNameMaxLength = 255;
constexpr std::array<Msg, VirtualRemote::kButtonCount> kButtonTitles{
    Msg::RemoteGridButton1Title, Msg::RemoteGridButton2Title, Msg::RemoteGridButton3Title,
    Msg::RemoteGridButton4Title};

} // namespace

TVirtualRemoteConfigForm::TVirtualRemoteConfigForm(VirtualRemote& remote, const TextTable& texts,
                                                   QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      remote_(remote) {
    setObjectName(QStringLiteral("TVirtualRemoteConfigForm"));
    descriptionEdit_ = new QLineEdit(this);
    descriptionEdit_->setObjectName(QStringLiteral("DescriptionEdit"));
    descriptionEdit_->setMaxLength(kNameMaxLength);
    descriptionEdit_->setValidator(new Cp1250Validator(descriptionEdit_));

    auto* grid = new QGridLayout(this);
    auto* name = new QGroupBox(this);
    keepMessageCaption(*name, Msg::RemoteGridDescriptionTitle, texts);
    name->setObjectName(QStringLiteral("GroupDescription"));
    (new QVBoxLayout(name))->addWidget(descriptionEdit_);
    grid->addWidget(name, 0, 0, 1, VirtualRemote::kButtonCount);
    for (std::size_t button = 0; button < boxes_.size(); ++button) {
        auto* group = new QGroupBox(this);
        keepMessageCaption(*group, kButtonTitles.at(button), texts);
        group->setObjectName(QStringLiteral("GroupButton%1").arg(button + 1));
        auto* column = new QVBoxLayout(group);
        for (std::size_t channel = 0; channel < boxes_[button].size(); ++channel) {
            auto* box = new QCheckBox(group);
            box->setObjectName(QStringLiteral("CheckBoxP%1C%2").arg(button + 1).arg(channel + 1));
            column->addWidget(box);
            boxes_[button][channel] = box;
        }
        grid->addWidget(group, 1, static_cast<int>(button));
    }
    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton(QDialogButtonBox::Ok);
    ok->setObjectName(QStringLiteral("ButtonOk"));
    auto* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("ButtonCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TVirtualRemoteConfigForm::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    grid->addWidget(buttons, 2, 0, 1, VirtualRemote::kButtonCount);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    keepControlTexts(*this, "TVirtualRemoteConfigForm", texts);
}

void TVirtualRemoteConfigForm::edit() {
    descriptionEdit_->setText(toQString(remote_.name()));
    const VirtualRemote::ChannelBoxes checked = remote_.channelBoxes();
    for (std::size_t button = 0; button < boxes_.size(); ++button)
        for (std::size_t channel = 0; channel < boxes_[button].size(); ++channel)
            boxes_[button][channel]->setChecked(checked[button][channel]);
    centreOverParent(*this);
    descriptionEdit_->setFocus();
    exec();
}

void TVirtualRemoteConfigForm::accept() {
    VirtualRemote::ChannelBoxes checked{};
    for (std::size_t button = 0; button < boxes_.size(); ++button)
        for (std::size_t channel = 0; channel < boxes_[button].size(); ++channel)
            checked[button][channel] = boxes_[button][channel]->isChecked();
    remote_.confirm(descriptionEdit_->text().toStdString(), checked);
    QDialog::accept();
}

} // namespace konfigor
