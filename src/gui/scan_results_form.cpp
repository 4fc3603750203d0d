#include "gui/scan_results_form.h"

#include "gui/control_texts.h"
#include "gui/qt_text.h"
#include "gui/widgets/dialog_buttons.h"
#include "gui/window_placement.h"
#include "texts/text_lines.h"
#include "texts/text_table.h"
#include "texts/untranslated_texts.h"

#include <algorithm>

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace konfigor {
namespace {

constexpr std::string_view kWindowClass = "TScanResultsForm";
constexpr int kNumberColumn = 0;
constexpr int kScoreColumn = 1;
constexpr int kFileColumn = 2;

QTableWidgetItem* cell(const QString& text, Qt::Alignment alignment) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

} // namespace

TScanResultsForm::TScanResultsForm(const TextTable& texts, QWidget* parent)
    : QDialog(parent), texts_(texts) {
    setObjectName(QStringLiteral("ScanResultsForm"));
    setModal(true);
    setSizeGripEnabled(true);

    grid_ = new QTableWidget(0, 3, this);
    grid_->setObjectName(QStringLiteral("StringGridScans"));
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->verticalHeader()->hide();
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->setWordWrap(false);
    grid_->setTextElideMode(Qt::ElideLeft);
    connect(grid_, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);

    auto* group = new QGroupBox(this);
    group->setObjectName(QStringLiteral("GroupBox"));
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(grid_);

    const OkCancelRow buttons = okCancelRow(*this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group, 1);
    layout->addLayout(buttons.layout);

    keepControlTexts(*this, kWindowClass, texts);
    applyTexts();
    setMinimumSize(kMinimumClientSize.expandedTo(layout->minimumSize()));
    resize(std::max(minimumWidth(), kNumberColumnWidth + kScoreColumnWidth + kFileColumnWidth +
                                        4 * layout->contentsMargins().left()),
           std::max(minimumHeight(), 300));
}

std::optional<std::size_t> TScanResultsForm::choose(const std::vector<ScanResult>& results) {
    showResults(results);
    centreOverParent(*this);
    grid_->setFocus();
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return selectedRow();
}

void TScanResultsForm::showResults(const std::vector<ScanResult>& results) {
    grid_->clearContents();
    grid_->setRowCount(static_cast<int>(results.size()));
    for (std::size_t index = 0; index < results.size(); ++index) {
        const int row = static_cast<int>(index);
        grid_->setItem(row, kNumberColumn, cell(QString::number(row + 1), Qt::AlignRight));
        grid_->setItem(row, kScoreColumn,
                       cell(toQString(scoreText(results[index].score)), Qt::AlignRight));
        grid_->setItem(row, kFileColumn,
                       cell(QString::fromStdString(results[index].path.string()), Qt::AlignLeft));
    }
    if (!results.empty())
        grid_->selectRow(0);
    grid_->scrollToTop();
}

std::optional<std::size_t> TScanResultsForm::selectedRow() const {
    const auto rows = grid_->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return std::nullopt;
    return static_cast<std::size_t>(rows.front().row());
}

void TScanResultsForm::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        applyTexts();
}

// The column titles are messages rather than control lines, and the buttons have no text of
// their own in the table.
void TScanResultsForm::applyTexts() {
    grid_->setHorizontalHeaderLabels({toQString(texts_.text(Msg::ScanResultsNumberTitle)),
                                      toQString(texts_.text(Msg::ScanResultsScoreTitle)),
                                      toQString(texts_.text(Msg::ScanResultsFileTitle))});
    // At least the widths given, and never narrower than the titles.
    QHeaderView* header = grid_->horizontalHeader();
    const std::array<int, 2> widths{kNumberColumnWidth, kScoreColumnWidth};
    for (int column = 0; column < 2; ++column)
        grid_->setColumnWidth(column, std::max(widths[static_cast<std::size_t>(column)],
                                               header->sectionSizeHint(column)));
    grid_->setColumnWidth(kFileColumn, kFileColumnWidth);
    fillEmptyCaption(*this, "ButtonOk", texts_.text(Keyed::SearchDialogOkButton));
    fillEmptyCaption(*this, "ButtonCancel", texts_.text(Keyed::SearchDialogCancelButton));
}

} // namespace konfigor
