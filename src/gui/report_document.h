#pragma once

#include "report/sheet_report.h"

#include <optional>
#include <vector>

#include <QDateTime>
#include <QFont>
#include <QRectF>
#include <QString>

class QPagedPaintDevice;
class QPaintDevice;
class QPainter;

namespace konfigor {

// One piece of text on a page, in millimetres from the top left of the printable area.
struct ReportCell {
    QRectF rectMm;
    // Where the wrapped text itself lies; always inside rectMm when the layout works.
    QRectF textMm;
    QString text;
    double points = report::kCellPoints;
    Qt::Alignment alignment = Qt::AlignHCenter;
    bool framed = false;
    // Column headers are set apart from the rows by a shaded background.
    bool header = false;
    bool fixedPitch = false;
};

struct ReportPage {
    std::vector<ReportCell> cells;
    // The slots' and channels' body rows placed on this page, for checks and previews.
    int bodyRows = 0;
};

// The report paginated onto A4 and drawn with QPainter, so that the preview, the printer and
// the PDF file all show the very same pages.
class ReportDocument {
public:
    static constexpr double kFooterHeightMm = 5.0;
    static constexpr double kCellPaddingMm = 1.0;
    static constexpr double kSectionHeightMm = 9.0;

    ReportDocument(report::SheetReport content, QDateTime printedAt);

    // Paginates with the font metrics of `device`; without one, with a device-independent
    // reference, as the preview does.
    void layOut();
    void layOut(QPaintDevice& device);

    const report::SheetReport& content() const { return content_; }
    const std::vector<ReportPage>& pages() const { return pages_; }
    int pageCount() const { return static_cast<int>(pages_.size()); }

    // Page 0 is the first; the painter draws in the device's pixels, origin at the margin.
    void drawPage(QPainter& painter, int page) const;

    // A4 portrait with the report's margins and the job's title, laid out afresh for the
    // device, every page drawn. False when the device refused to paint.
    bool print(QPagedPaintDevice& device);

    static QFont font(double points, bool fixedPitch = false);

private:
    double bodyHeightMm() const;
    void newPage();
    static ReportCell placed(ReportCell cell, const QRectF& rectMm, QPaintDevice& device);
    double rowHeightMm(const report::Table& table, const std::vector<std::string>& texts,
                       QPaintDevice& device, bool header) const;
    void placeRow(const report::Table& table, const std::vector<std::string>& texts, double height,
                  QPaintDevice& device, bool header);
    void placeTable(const std::string& section, const report::Table& table, QPaintDevice& device);

    report::SheetReport content_;
    QDateTime printedAt_;
    std::vector<ReportPage> pages_;
    double y_ = 0.0; // where the next row goes on the last page
};

// The report of `content` written to a PDF file; an error message when it could not be.
std::optional<QString> writeReportPdf(const report::SheetReport& content, const QString& path,
                                      const QDateTime& printedAt);

} // namespace konfigor
