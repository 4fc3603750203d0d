#include "gui/edit_remote_form.h"

#include "gui/control_texts.h"
#include "gui/qt_text.h"
#include "gui/remote_scan_form.h"
#include "gui/widgets/cp1250_validator.h"
#include "gui/widgets/toggle_button.h"
#include "gui/window_placement.h"
#include "texts/text_table.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace konfigor {
namespace {

constexpr int kTimerInterval = 250;
constexpr int kDescriptionMaxLength = 255;
constexpr std::array<Msg, kButtonCount> kButtonGroupTitles{
    Msg::RemoteGridButton1Title, Msg::RemoteGridButton2Title, Msg::RemoteGridButton3Title,
    Msg::RemoteGridButton4Title};

// Its title comes with the window's control texts or from a kept message.
QGroupBox* groupAround(QWidget* parent, const char* objectName) {
    auto* group = new QGroupBox(parent);
    group->setObjectName(QString::fromLatin1(objectName));
    return group;
}

BoxState stateOf(const QCheckBox* box) {
    switch (box->checkState()) {
    case Qt::Checked:
        return BoxState::Checked;
    case Qt::PartiallyChecked:
        return BoxState::Grey;
    case Qt::Unchecked:
        break;
    }
    return BoxState::Cleared;
}

} // namespace

TEditRemoteForm::TEditRemoteForm(RemoteEditor& editor, const TextTable& texts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      editor_(editor) {
    setObjectName(QStringLiteral("TEditRemoteForm"));
    setWindowModality(Qt::WindowModal);
    buildControls(texts);
    scanForm_ = new TRemoteScanForm(texts, this);
    connect(scanForm_, &TRemoteScanForm::cancelRequested, this,
            [this] { editor_.cancelDetection(); });
    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timer"));
    timer_->setInterval(kTimerInterval);
    connect(timer_, &QTimer::timeout, this, [this] { editor_.progressTimerFired(); });
    timerRemoteCheck_ = new QTimer(this);
    timerRemoteCheck_->setObjectName(QStringLiteral("TimerRemoteCheck"));
    timerRemoteCheck_->setInterval(kTimerInterval);
    timerRemoteCheck_->setSingleShot(true);
    connect(timerRemoteCheck_, &QTimer::timeout, this, [this] { editor_.refusalTimerFired(); });
    editor_.setView(this);
}

TEditRemoteForm::~TEditRemoteForm() {
    editor_.setView(nullptr);
}

void TEditRemoteForm::buildControls(const TextTable& texts) {
    descriptionEdit_ = new QLineEdit(this);
    descriptionEdit_->setObjectName(QStringLiteral("DescriptionEdit"));
    // What the receiver's files cannot hold is refused as typed; a longer paste is cut here,
    // where the user sees it.
    descriptionEdit_->setMaxLength(kDescriptionMaxLength);
    descriptionEdit_->setValidator(new Cp1250Validator(descriptionEdit_));
    connect(descriptionEdit_, &QLineEdit::textEdited, this,
            [this] { showDescriptionMixed(false); });
    remoteNoEdit_ = new QLineEdit(this);
    remoteNoEdit_->setObjectName(QStringLiteral("RemoteNoEdit"));
    remoteNoEdit_->setReadOnly(true);
    remoteIdEdit_ = new QLineEdit(this);
    remoteIdEdit_->setObjectName(QStringLiteral("RemoteIdEdit"));
    remoteIdEdit_->setReadOnly(true);
    checkBoxMulti_ = new QCheckBox(this);
    checkBoxMulti_->setObjectName(QStringLiteral("CheckBoxMulti"));
    checkBoxCopyBlock_ = new QCheckBox(this);
    checkBoxCopyBlock_->setObjectName(QStringLiteral("CheckBoxCopyBlock"));
    checkBoxAddNext_ = new QCheckBox(this);
    checkBoxAddNext_->setObjectName(QStringLiteral("CheckBoxdodajKolejnyPilot"));
    buttonScanRemote_ = new ToggleButton(this);
    buttonScanRemote_->setObjectName(QStringLiteral("ButtonScanRemote"));
    buttonScanRemote_->setAllowAllUp(true);
    connect(buttonScanRemote_, &ToggleButton::toggledByUser, this,
            [this](bool down) { editor_.scanButtonToggled(down); });
    buttonOk_ = new QPushButton(this);
    buttonOk_->setObjectName(QStringLiteral("ButtonOk"));
    buttonOk_->setDefault(true);
    connect(buttonOk_, &QPushButton::clicked, this, &TEditRemoteForm::accept);
    buttonCancel_ = new QPushButton(this);
    buttonCancel_->setObjectName(QStringLiteral("ButtonCancel"));
    connect(buttonCancel_, &QPushButton::clicked, this, &TEditRemoteForm::reject);

    auto* description = groupAround(this, "GroupDescription");
    keepMessageCaption(*description, Msg::RemoteGridDescriptionTitle, texts);
    (new QVBoxLayout(description))->addWidget(descriptionEdit_);
    auto* position = groupAround(this, "GroupPosition");
    (new QVBoxLayout(position))->addWidget(remoteNoEdit_);
    auto* serial = groupAround(this, "GroupSerial");
    auto* serialLayout = new QHBoxLayout(serial);
    serialLayout->addWidget(remoteIdEdit_, 1);
    serialLayout->addWidget(checkBoxMulti_);
    auto* copyLock = groupAround(this, "GroupCopyLock");
    (new QVBoxLayout(copyLock))->addWidget(checkBoxCopyBlock_);

    auto* grid = new QGridLayout(this);
    grid->addWidget(description, 0, 0, 1, 4);
    grid->addWidget(position, 1, 0);
    grid->addWidget(serial, 1, 1, 1, 2);
    grid->addWidget(copyLock, 1, 3);
    for (std::size_t button = 0; button < kButtonCount; ++button)
        grid->addWidget(addButtonGroup(button, texts), 2, static_cast<int>(button));
    auto* commands = new QHBoxLayout;
    commands->addWidget(checkBoxAddNext_);
    commands->addStretch();
    commands->addWidget(buttonScanRemote_);
    commands->addStretch();
    commands->addWidget(buttonOk_);
    commands->addWidget(buttonCancel_);
    grid->addLayout(commands, 3, 0, 1, 4);
    // As big as its controls need and no bigger: nothing to gain from resizing it.
    grid->setSizeConstraint(QLayout::SetFixedSize);
    keepControlTexts(*this, "TEditRemoteForm", texts);
}

QGroupBox* TEditRemoteForm::addButtonGroup(std::size_t button, const TextTable& texts) {
    auto* group = new QGroupBox(this);
    keepMessageCaption(*group, kButtonGroupTitles.at(button), texts);
    group->setObjectName(QStringLiteral("GroupButton%1").arg(button + 1));
    auto* layout = new QVBoxLayout(group);
    for (std::size_t channel = 0; channel < kChannelCount; ++channel) {
        auto* box = new QCheckBox(group);
        box->setObjectName(QStringLiteral("CheckBoxP%1C%2").arg(button + 1).arg(channel + 1));
        layout->addWidget(box);
        channelBoxes_[button][channel] = box;
    }
    return group;
}

void TEditRemoteForm::openWith(const RemoteEditorSetup& setup) {
    setWindowTitle(toQString(setup.title));
    buttonScanRemote_->setText(toQString(setup.scanCaption));
    buttonScanRemote_->setEnabled(setup.scanEnabled);
    buttonScanRemote_->setPressed(setup.scanDown);
    buttonOk_->setEnabled(setup.okEnabled);
    for (std::size_t button = 0; button < kButtonCount; ++button)
        for (std::size_t channel = 0; channel < kChannelCount; ++channel)
            if (setup.fillsChannels)
                showBox(channelBoxes_[button][channel], setup.form.channels[button][channel],
                        setup.channelMayBeGrey[button][channel]);
    showBox(checkBoxMulti_, setup.form.multi, setup.multiMayBeGrey);
    checkBoxMulti_->setEnabled(setup.multiEnabled);
    showBox(checkBoxCopyBlock_, setup.form.copyLock, setup.copyLockMayBeGrey);
    checkBoxAddNext_->setEnabled(setup.addNextEnabled);
    descriptionEdit_->setText(toQString(setup.form.description));
    showDescriptionMixed(setup.form.descriptionMixed);
    remoteNoEdit_->setText(toQString(setup.positionText));
    remoteIdEdit_->setText(toQString(setup.serialText));

    centreOverParent(*this);
    descriptionEdit_->setFocus();
    descriptionEdit_->selectAll();
    open();
}

void TEditRemoteForm::showBox(QCheckBox* box, BoxState state, bool mayBeGrey) {
    box->setTristate(mayBeGrey);
    box->setCheckState(state == BoxState::Checked ? Qt::Checked
                       : state == BoxState::Grey  ? Qt::PartiallyChecked
                                                  : Qt::Unchecked);
}

// The button face colour says "not every remote has this description"; typing ends it.
void TEditRemoteForm::showDescriptionMixed(bool mixed) {
    descriptionMixed_ = mixed;
    QPalette colours = descriptionEdit_->palette();
    colours.setColor(QPalette::Base, palette().color(mixed ? QPalette::Button : QPalette::Base));
    descriptionEdit_->setPalette(colours);
}

RemoteForm TEditRemoteForm::form() const {
    RemoteForm form;
    form.description = descriptionEdit_->text().toStdString();
    form.descriptionMixed = descriptionMixed_;
    form.multi = stateOf(checkBoxMulti_);
    form.copyLock = stateOf(checkBoxCopyBlock_);
    for (std::size_t button = 0; button < kButtonCount; ++button)
        for (std::size_t channel = 0; channel < kChannelCount; ++channel)
            form.channels[button][channel] = stateOf(channelBoxes_[button][channel]);
    form.addNext = checkBoxAddNext_->isChecked();
    return form;
}

void TEditRemoteForm::setAddNextChecked(bool checked) {
    checkBoxAddNext_->setChecked(checked);
}

void TEditRemoteForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Once the editor is up: a new remote's detection starts with its progress window.
    QTimer::singleShot(0, this, [this] {
        if (isVisible())
            editor_.activated();
    });
}

void TEditRemoteForm::accept() {
    const std::optional<std::size_t> next = editor_.accept(form());
    timerRemoteCheck_->stop();
    QDialog::accept();
    Q_EMIT finishedEditing(true, next);
}

void TEditRemoteForm::reject() {
    editor_.close();
    timerRemoteCheck_->stop();
    QDialog::reject();
    Q_EMIT finishedEditing(false, std::nullopt);
}

// --- RemoteEditorView ---

void TEditRemoteForm::showProgress() {
    scanForm_->showOverParent();
}

bool TEditRemoteForm::isProgressVisible() const {
    return scanForm_->isVisible();
}

void TEditRemoteForm::closeProgress() {
    if (scanForm_->isVisible())
        scanForm_->done(QDialog::Rejected);
}

void TEditRemoteForm::showProgressLines(const std::string& remoteLine, const std::string& hint) {
    scanForm_->showLines(toQString(remoteLine), toQString(hint));
}

void TEditRemoteForm::setScanButtonDown(bool down) {
    buttonScanRemote_->setPressed(down);
}

void TEditRemoteForm::showSerial(const std::string& number, bool multi) {
    remoteIdEdit_->setText(toQString(number));
    checkBoxMulti_->setCheckState(multi ? Qt::Checked : Qt::Unchecked);
}

void TEditRemoteForm::setOkEnabled(bool enabled) {
    buttonOk_->setEnabled(enabled);
}

void TEditRemoteForm::runProgressTimer(bool running) {
    if (running)
        timer_->start();
    else
        timer_->stop();
}

void TEditRemoteForm::startRefusalTimer() {
    timerRemoteCheck_->start();
}

} // namespace konfigor
