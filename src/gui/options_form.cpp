#include "gui/options_form.h"

#include "config/configuration.h"
#include "gui/control_texts.h"
#include "gui/qt_text.h"
#include "gui/settings_file_dialogs.h"
#include "gui/widgets/dialog_buttons.h"
#include "gui/window_placement.h"

#include <QCheckBox>
#include <QEvent>
#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace konfigor {
namespace {

constexpr int kCountMaxLength = 6;
constexpr int kDefaultFontSize = 8;

template <class Widget>
Widget* named(QWidget* parent, const char* objectName) {
    auto* widget = new Widget(parent);
    widget->setObjectName(QString::fromLatin1(objectName));
    return widget;
}

QObject* dialogControl(QObject* parent, const char* objectName) {
    auto* control = new QObject(parent);
    control->setObjectName(QString::fromLatin1(objectName));
    return control;
}

QString pathText(const std::filesystem::path& path) {
    return toQString(path.string());
}

std::filesystem::path pathOf(const QLineEdit* edit) {
    return std::filesystem::path(edit->text().toStdString());
}

QValidator* digitsOnly(QObject* parent) {
    return new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), parent);
}

// An open-file dialog starting at the edit's path, with the filter of its dialog control. The
// default extension follows the chosen file type: one suffix per type, empty for none.
QString chooseFile(QWidget* parent, const QObject& dialogControl, const QString& current,
                   const QStringList& suffixes, bool mustExist) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    const QStringList filters = nameFiltersOf(dialogControl.property("filter").toString());
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(suffixes.value(0));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, filters, suffixes](const QString& filter) {
                         dialog.setDefaultSuffix(suffixes.value(filters.indexOf(filter)));
                     });
    if (!current.isEmpty())
        dialog.selectFile(current);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

} // namespace

TOptionsForm::TOptionsForm(Configuration& configuration, const TextTable& texts,
                           UserPrompts& prompts, Sound& sound, QWidget* parent)
    : QDialog(parent), configuration_(configuration), sound_(sound), editor_(prompts, texts) {
    setObjectName(QStringLiteral("OptionsForm"));
    openDialogKvr_ = dialogControl(this, "OpenDialogKvr");
    openDialogEvents_ = dialogControl(this, "OpenDialogEvents");
    openDialogSound_ = dialogControl(this, "OpenDialogSound");

    auto* automation = new QGroupBox(this);
    automation->setObjectName(QStringLiteral("GroupBoxAutomation"));
    buildAutomation(automation);
    auto* events = new QGroupBox(this);
    events->setObjectName(QStringLiteral("GroupBoxEvents"));
    buildEvents(events);
    auto* printing = new QGroupBox(this);
    printing->setObjectName(QStringLiteral("GroupBoxPrinting"));
    buildPrinting(printing);

    const OkCancelRow buttons = okCancelRow(*this);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(automation);
    layout->addWidget(events);
    layout->addWidget(printing);
    layout->addLayout(buttons.layout);

    keepControlTexts(*this, "TOptionsForm", texts);
    showSoundItems();
    LoadOptions();
}

void TOptionsForm::buildAutomation(QGroupBox* group) {
    autoConnectCB_ = named<QCheckBox>(group, "AutoConnectCB");
    connect(autoConnectCB_, &QCheckBox::clicked, this,
            [this](bool on) { editor_.setAutoConnect(on); });
    loadEpromSettingsCB_ = named<QCheckBox>(group, "LoadEpromSettingsCB");
    connect(loadEpromSettingsCB_, &QCheckBox::clicked, this,
            &TOptionsForm::LoadEpromSettingsCBClick);
    afterEpromLoadOpenBrowseCB_ = named<QCheckBox>(group, "AfterEpromLoadOpenBrowseCB");
    connect(afterEpromLoadOpenBrowseCB_, &QCheckBox::clicked, this,
            [this](bool on) { editor_.setOpenSearchAfterLoad(on); });
    cbAutoSave_ = named<QCheckBox>(group, "CBAutoSave");
    connect(cbAutoSave_, &QCheckBox::clicked, this, [this](bool on) { editor_.setAutosave(on); });
    settingsFileNameCB_ = named<QCheckBox>(group, "SettingsFileNameCB");
    connect(settingsFileNameCB_, &QCheckBox::clicked, this, &TOptionsForm::SettingsFileNameCBClick);
    settingsFileNameEdit_ = named<QLineEdit>(group, "SettingsFileNameEdit");
    auto* chooseButton = named<QPushButton>(group, "SettingsFileNameButton");
    connect(chooseButton, &QPushButton::clicked, this, &TOptionsForm::SettingsFileNameButtonClick);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(settingsFileNameEdit_, 1);
    fileRow->addWidget(chooseButton);
    auto* layout = new QVBoxLayout(group);
    for (QCheckBox* box : {autoConnectCB_, loadEpromSettingsCB_, afterEpromLoadOpenBrowseCB_,
                           cbAutoSave_, settingsFileNameCB_})
        layout->addWidget(box);
    layout->addLayout(fileRow);
}

void TOptionsForm::buildEvents(QGroupBox* group) {
    checkBoxZapisywanieZdarzen_ = named<QCheckBox>(group, "CheckBoxZapisywanieZdarzen");
    connect(checkBoxZapisywanieZdarzen_, &QCheckBox::clicked, this,
            &TOptionsForm::CheckBoxZapisywanieZdarzenClick);
    labelPlikZdarzen_ = named<QLabel>(group, "LabelPlikZdarzen");
    fileEventsLogEdit_ = named<QLineEdit>(group, "FileEventsLogEdit");
    fileEventsLogButton_ = named<QPushButton>(group, "FileEventsLogButton");
    connect(fileEventsLogButton_, &QPushButton::clicked, this,
            &TOptionsForm::FileEventsLogButtonClick);
    labelIloscZdarzen_ = named<QLabel>(group, "LabelIloscZdarzen");
    editIloscZdarzen_ = named<QLineEdit>(group, "EditIloscZdarzen");
    editIloscZdarzen_->setMaxLength(kCountMaxLength);
    editIloscZdarzen_->setValidator(digitsOnly(editIloscZdarzen_));

    radioGroupLogSound_ = named<QGroupBox>(group, "RadioGroupLogSound");
    auto* soundLayout = new QGridLayout(radioGroupLogSound_);
    for (std::size_t item = 0; item < soundItems_.size(); ++item) {
        soundItems_[item] = new QRadioButton(radioGroupLogSound_);
        soundItems_[item]->setObjectName(QStringLiteral("RadioGroupLogSoundItem%1").arg(item));
        soundLayout->addWidget(soundItems_[item], static_cast<int>(item), 0);
    }
    soundFileEdit_ = named<QLineEdit>(radioGroupLogSound_, "SoundFileEdit");
    auto* browse = named<QPushButton>(radioGroupLogSound_, "BrowseSoundButton");
    connect(browse, &QPushButton::clicked, this, &TOptionsForm::BrowseSoundButtonClick);
    auto* play = named<QPushButton>(radioGroupLogSound_, "PlaySoundButton");
    connect(play, &QPushButton::clicked, this, &TOptionsForm::PlaySoundButtonClick);
    auto* soundFileRow = new QHBoxLayout;
    soundFileRow->addWidget(soundFileEdit_, 1);
    soundFileRow->addWidget(browse);
    soundFileRow->addWidget(play);
    soundLayout->addLayout(soundFileRow, static_cast<int>(soundItems_.size()), 0);

    auto* layout = new QGridLayout(group);
    layout->addWidget(checkBoxZapisywanieZdarzen_, 0, 0, 1, 3);
    layout->addWidget(labelPlikZdarzen_, 1, 0);
    layout->addWidget(fileEventsLogEdit_, 1, 1);
    layout->addWidget(fileEventsLogButton_, 1, 2);
    layout->addWidget(labelIloscZdarzen_, 2, 0);
    layout->addWidget(editIloscZdarzen_, 2, 1);
    layout->addWidget(radioGroupLogSound_, 3, 0, 1, 3);
}

void TOptionsForm::buildPrinting(QGroupBox* group) {
    auto* fontLabel = named<QLabel>(group, "LabelPrintFont");
    printFontEdit_ = named<QLineEdit>(group, "PrintFontEdit");
    printFontEdit_->setReadOnly(true);
    printFontEdit_->setText(QStringLiteral("Arial"));
    auto* sizeLabel = named<QLabel>(group, "LabelPrintFontSize");
    printFontSizeEdit_ = named<QLineEdit>(group, "PrintFontSizeEdit");
    printFontSizeEdit_->setValidator(digitsOnly(printFontSizeEdit_));
    printFontSizeEdit_->setText(QStringLiteral("8"));
    auto* choose = named<QPushButton>(group, "ChooseFontButton");
    connect(choose, &QPushButton::clicked, this, &TOptionsForm::ChooseFontButtonClick);

    auto* layout = new QHBoxLayout(group);
    layout->addWidget(fontLabel);
    layout->addWidget(printFontEdit_, 1);
    layout->addWidget(sizeLabel);
    layout->addWidget(printFontSizeEdit_);
    layout->addWidget(choose);
}

void TOptionsForm::LoadOptions() {
    editor_.load(configuration_);
    showValues();
}

void TOptionsForm::SaveOptions() {
    takeFields();
    editor_.save(configuration_);
}

void TOptionsForm::done(int result) {
    if (result == QDialog::Accepted)
        SaveOptions();
    // After OK this shows what was saved; after any other close it drops the changes.
    LoadOptions();
    QDialog::done(result);
}

void TOptionsForm::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // The control texts were set before this runs (their keeper filters the window's events).
    if (event->type() == QEvent::LanguageChange)
        showSoundItems();
}

void TOptionsForm::showSoundItems() {
    for (std::size_t item = 0; item < soundItems_.size(); ++item) {
        const QByteArray property = QByteArray("item") + QByteArray::number(item + 1);
        soundItems_[item]->setText(radioGroupLogSound_->property(property.constData()).toString());
    }
}

void TOptionsForm::showValues() {
    const Options& shown = editor_.values();
    autoConnectCB_->setChecked(shown.autoConnect);
    loadEpromSettingsCB_->setChecked(shown.loadReceiver);
    afterEpromLoadOpenBrowseCB_->setChecked(shown.openSearchAfterLoad);
    afterEpromLoadOpenBrowseCB_->setEnabled(editor_.openSearchAfterLoadEnabled());
    cbAutoSave_->setChecked(shown.autosave);
    settingsFileNameCB_->setChecked(shown.loadDefaultSettingsFile);
    settingsFileNameEdit_->setText(pathText(shown.defaultSettingsFile));
    checkBoxZapisywanieZdarzen_->setChecked(shown.registration);
    for (QWidget* control : std::initializer_list<QWidget*>{labelPlikZdarzen_, fileEventsLogEdit_,
                                                            fileEventsLogButton_,
                                                            labelIloscZdarzen_, editIloscZdarzen_})
        control->setEnabled(editor_.eventLogControlsEnabled());
    fileEventsLogEdit_->setText(pathText(shown.eventLogFile));
    editIloscZdarzen_->setText(toQString(shown.eventCount));
    for (std::size_t item = 0; item < soundItems_.size(); ++item)
        soundItems_[item]->setChecked(static_cast<int>(item) == shown.soundKind);
    soundFileEdit_->setText(pathText(shown.soundFile));
    printFontEdit_->setText(toQString(shown.fontName));
    printFontSizeEdit_->setText(toQString(shown.fontSize));
}

void TOptionsForm::takeFields() {
    Options& fields = editor_.fields();
    fields.defaultSettingsFile = pathOf(settingsFileNameEdit_);
    fields.eventLogFile = pathOf(fileEventsLogEdit_);
    fields.eventCount = editIloscZdarzen_->text().toStdString();
    for (std::size_t item = 0; item < soundItems_.size(); ++item) {
        if (soundItems_[item]->isChecked())
            fields.soundKind = static_cast<int>(item);
    }
    fields.soundFile = pathOf(soundFileEdit_);
    fields.fontName = printFontEdit_->text().toStdString();
    fields.fontSize = printFontSizeEdit_->text().toStdString();
}

void TOptionsForm::LoadEpromSettingsCBClick(bool checked) {
    takeFields();
    editor_.clickLoadReceiver(checked);
    showValues();
}

void TOptionsForm::SettingsFileNameCBClick(bool checked) {
    takeFields();
    editor_.clickLoadDefaultSettingsFile(checked);
    showValues();
}

void TOptionsForm::CheckBoxZapisywanieZdarzenClick(bool checked) {
    takeFields();
    editor_.clickRegistration(checked);
    showValues();
}

void TOptionsForm::SettingsFileNameButtonClick() {
    const QString chosen = chooseFile(this, *openDialogKvr_, settingsFileNameEdit_->text(),
                                      {QStringLiteral("kvr")}, false);
    if (chosen.isEmpty())
        return;
    takeFields();
    editor_.defaultSettingsFileChosen(chosen.toStdString());
    showValues();
}

void TOptionsForm::FileEventsLogButtonClick() {
    const QString chosen = chooseFile(this, *openDialogEvents_, fileEventsLogEdit_->text(),
                                      {QStringLiteral("txt"), QStringLiteral("xls")}, false);
    if (!chosen.isEmpty())
        fileEventsLogEdit_->setText(chosen);
}

void TOptionsForm::BrowseSoundButtonClick() {
    const QString chosen = chooseFile(this, *openDialogSound_, soundFileEdit_->text(), {}, true);
    if (!chosen.isEmpty())
        soundFileEdit_->setText(chosen);
}

void TOptionsForm::PlaySoundButtonClick() {
    takeFields();
    editor_.trySound(sound_, [](const std::filesystem::path& file) {
        std::error_code ignored;
        return std::filesystem::is_regular_file(file, ignored);
    });
    showValues();
}

void TOptionsForm::ChooseFontButtonClick() {
    bool sizeIsNumber = false;
    const int size = printFontSizeEdit_->text().toInt(&sizeIsNumber);
    QFont initial(printFontEdit_->text());
    initial.setPointSize(sizeIsNumber && size > 0 ? size : kDefaultFontSize);
    bool accepted = false;
    const QFont chosen = QFontDialog::getFont(&accepted, initial, this);
    if (!accepted)
        return;
    printFontEdit_->setText(chosen.family());
    printFontSizeEdit_->setText(QString::number(chosen.pointSize()));
}

} // namespace konfigor
