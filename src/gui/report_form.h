#pragma once

#include "gui/report_document.h"

#include <memory>

#include <QDialog>

class QAction;
class QStatusBar;

namespace konfigor {

struct SettingsSheet;
class TextTable;

// The report's preview window: one page at a time, fitted to the window's width, with printing
// and saving to PDF. Its document is built from the sheet every time the window is shown.
class TRaportForm : public QDialog {
    Q_OBJECT

public:
    TRaportForm(const SettingsSheet& sheet, const TextTable& texts, QWidget* parent = nullptr);
    ~TRaportForm() override;

    const ReportDocument& document() const { return *document_; }
    // Counted from 0.
    int currentPage() const { return page_; }

    void priorPage();
    void nextPage();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void rebuild();
    void showPage();
    void printReport();
    void savePdf();

    const SettingsSheet& sheet_;
    const TextTable& texts_;
    std::unique_ptr<ReportDocument> document_;
    int page_ = 0;
    QWidget* preview_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    QAction* prior_ = nullptr;
    QAction* next_ = nullptr;
};

} // namespace konfigor
