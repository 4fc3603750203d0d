#pragma once

#include "search/search_criteria.h"

#include <optional>

#include <QDialog>

class QCheckBox;

namespace konfigor {

class TextTable;

// "Kryteria wyszukiwania pliku z nastawami odbiornika": what the description search compares.
// Created once; each opening starts from the criteria the search kept.
class TScanSettingsForm : public QDialog {
    Q_OBJECT

public:
    explicit TScanSettingsForm(const TextTable& texts, QWidget* parent = nullptr);

    // Modal: the criteria confirmed with OK, or nothing.
    std::optional<SearchCriteria> edit(const SearchCriteria& current);

    void showCriteria(const SearchCriteria& criteria);
    SearchCriteria criteria() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    void fillEmptyButtonCaptions();

    const TextTable& texts_;

    QCheckBox* checkBoxC1_ = nullptr;
    QCheckBox* checkBoxC2_ = nullptr;
    QCheckBox* checkBoxR1_ = nullptr;
    QCheckBox* checkBoxR2_ = nullptr;
    QCheckBox* checkBoxR3_ = nullptr;
    QCheckBox* checkBoxR4_ = nullptr;
    QCheckBox* checkBoxR5_ = nullptr;
    QCheckBox* checkBoxNoEmpty_ = nullptr;
};

} // namespace konfigor
