#pragma once

#include "config/options.h"

#include <array>

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace konfigor {

class Configuration;
class Sound;
class TextTable;
class UserPrompts;

// "Opcje": automation at start-up, the event log and its sound, the print font. Its controls
// hold the stored options except while it is open; every close reloads them.
class TOptionsForm : public QDialog {
    Q_OBJECT

public:
    TOptionsForm(Configuration& configuration, const TextTable& texts, UserPrompts& prompts,
                 Sound& sound, QWidget* parent = nullptr);

    const Options& options() const { return editor_.values(); }

    void LoadOptions();
    void SaveOptions();

    void done(int result) override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void buildAutomation(QGroupBox* group);
    void buildEvents(QGroupBox* group);
    void buildPrinting(QGroupBox* group);
    // The controls from the rules' values, and back; the boxes with rules are not touched
    // when their values are taken.
    void showValues();
    void takeFields();
    void showSoundItems();

    void LoadEpromSettingsCBClick(bool checked);
    void SettingsFileNameCBClick(bool checked);
    void CheckBoxZapisywanieZdarzenClick(bool checked);
    void SettingsFileNameButtonClick();
    void FileEventsLogButtonClick();
    void BrowseSoundButtonClick();
    void PlaySoundButtonClick();
    void ChooseFontButtonClick();

    Configuration& configuration_;
    Sound& sound_;
    OptionsEditor editor_;

    QCheckBox* autoConnectCB_ = nullptr;
    QCheckBox* loadEpromSettingsCB_ = nullptr;
    QCheckBox* afterEpromLoadOpenBrowseCB_ = nullptr;
    QCheckBox* cbAutoSave_ = nullptr;
    QCheckBox* settingsFileNameCB_ = nullptr;
    QLineEdit* settingsFileNameEdit_ = nullptr;
    QCheckBox* checkBoxZapisywanieZdarzen_ = nullptr;
    QLabel* labelPlikZdarzen_ = nullptr;
    QLineEdit* fileEventsLogEdit_ = nullptr;
    QPushButton* fileEventsLogButton_ = nullptr;
    QLabel* labelIloscZdarzen_ = nullptr;
    QLineEdit* editIloscZdarzen_ = nullptr;
    QGroupBox* radioGroupLogSound_ = nullptr;
    std::array<QRadioButton*, 3> soundItems_{};
    QLineEdit* soundFileEdit_ = nullptr;
    QLineEdit* printFontEdit_ = nullptr;
    QLineEdit* printFontSizeEdit_ = nullptr;
    QObject* openDialogKvr_ = nullptr;
    QObject* openDialogEvents_ = nullptr;
    QObject* openDialogSound_ = nullptr;
};

} // namespace konfigor
