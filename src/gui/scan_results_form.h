#pragma once

#include "search/scan_results.h"

#include <cstddef>
#include <optional>
#include <vector>

#include <QDialog>

class QTableWidget;

namespace konfigor {

class TextTable;

// "Wyniki skanowania...": the files found, best match first, with their scores. Created once
// and refilled for every search.
class TScanResultsForm : public QDialog {
    Q_OBJECT

public:
    static constexpr int kNumberColumnWidth = 24;
    static constexpr int kScoreColumnWidth = 60;
    static constexpr int kFileColumnWidth = 300;
    static constexpr QSize kMinimumClientSize{350, 200};

    explicit TScanResultsForm(const TextTable& texts, QWidget* parent = nullptr);

    // Modal: the row taken with OK (or a double click), nothing for Cancel or Esc.
    std::optional<std::size_t> choose(const std::vector<ScanResult>& results);

    // Fills the grid without showing it, the first row selected.
    void showResults(const std::vector<ScanResult>& results);
    std::optional<std::size_t> selectedRow() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    void applyTexts();

    const TextTable& texts_;
    QTableWidget* grid_ = nullptr;
};

} // namespace konfigor
