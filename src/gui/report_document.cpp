#include "gui/report_document.h"

#include "gui/qt_text.h"
#include "texts/untranslated_texts.h"

#include <algorithm>
#include <utility>

#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>

namespace konfigor {
namespace {

constexpr double kMmPerInch = 25.4;
// The reference the preview lays out against: fine enough that no hinting or rounding at
// screen resolution moves a line break.
constexpr int kReferenceDpi = 1200;
constexpr double kFrameWidthMm = 0.2;
constexpr int kHeaderShade = 230;

double pixelsPerMmX(const QPaintDevice& device) {
    return device.logicalDpiX() / kMmPerInch;
}
double pixelsPerMmY(const QPaintDevice& device) {
    return device.logicalDpiY() / kMmPerInch;
}

QTextOption wrapping(Qt::Alignment alignment) {
    QTextOption option(alignment);
    // A description without spaces must still break inside its own column.
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // A button cell's trailing spaces stand for channels: they keep the digits in their places.
    option.setFlags(QTextOption::IncludeTrailingSpaces);
    return option;
}

// Lays the text's lines out in `widthPx`; returns the text's size in pixels.
QSizeF wrap(QTextLayout& layout, double widthPx) {
    double height = 0.0;
    double widest = 0.0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(widthPx);
        line.setPosition(QPointF(0.0, height));
        height += line.height();
        widest = std::max(widest, line.naturalTextWidth());
    }
    layout.endLayout();
    return {widest, height};
}

double textWidthMm(const ReportCell& cell) {
    return cell.rectMm.width() - 2 * ReportDocument::kCellPaddingMm;
}

QSizeF measureMm(const ReportCell& cell, double widthMm, QPaintDevice& device) {
    if (cell.text.isEmpty())
        return {};
    QTextLayout layout(cell.text, ReportDocument::font(cell.points, cell.fixedPitch), &device);
    layout.setTextOption(wrapping(cell.alignment));
    const QSizeF size = wrap(layout, widthMm * pixelsPerMmX(device));
    return {size.width() / pixelsPerMmX(device), size.height() / pixelsPerMmY(device)};
}

QImage referenceDevice() {
    QImage image(1, 1, QImage::Format_RGB32);
    const int dotsPerMeter = static_cast<int>(kReferenceDpi / kMmPerInch * 1000.0 + 0.5);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

} // namespace

ReportDocument::ReportDocument(report::SheetReport content, QDateTime printedAt)
    : content_(std::move(content)), printedAt_(std::move(printedAt)) {
    layOut();
}

QFont ReportDocument::font(double points, bool fixedPitch) {
    QFont font(fixedPitch ? QStringLiteral("DejaVu Sans Mono") : QStringLiteral("DejaVu Sans"));
    font.setStyleHint(fixedPitch ? QFont::TypeWriter : QFont::SansSerif);
    font.setPointSizeF(points);
    // Unhinted glyphs scale evenly, so the preview breaks lines where the paper does.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

double ReportDocument::bodyHeightMm() const {
    return report::kContentHeightMm - kFooterHeightMm;
}

void ReportDocument::newPage() {
    pages_.emplace_back();
    y_ = 0.0;
}

ReportCell ReportDocument::placed(ReportCell cell, const QRectF& rectMm, QPaintDevice& device) {
    cell.rectMm = rectMm;
    const QSizeF size = measureMm(cell, textWidthMm(cell), device);
    double left = rectMm.left() + kCellPaddingMm;
    if (cell.alignment & Qt::AlignHCenter)
        left += (textWidthMm(cell) - size.width()) / 2;
    else if (cell.alignment & Qt::AlignRight)
        left += textWidthMm(cell) - size.width();
    cell.textMm = QRectF(QPointF(left, rectMm.center().y() - size.height() / 2), size);
    return cell;
}

double ReportDocument::rowHeightMm(const report::Table& table,
                                   const std::vector<std::string>& texts, QPaintDevice& device,
                                   bool header) const {
    double height = report::kHeaderHeightMm;
    for (std::size_t column = 0; column < texts.size(); ++column) {
        ReportCell cell;
        cell.text = toQString(texts[column]);
        cell.fixedPitch = !header && table.columns[column].fixedPitch;
        const double width = table.columns[column].widthMm - 2 * kCellPaddingMm;
        height = std::max(height, measureMm(cell, width, device).height() + 2 * kCellPaddingMm);
    }
    return height;
}

void ReportDocument::placeRow(const report::Table& table, const std::vector<std::string>& texts,
                              double height, QPaintDevice& device, bool header) {
    for (std::size_t column = 0; column < texts.size(); ++column) {
        const report::Column& shape = table.columns[column];
        ReportCell cell;
        cell.text = toQString(texts[column]);
        cell.framed = true;
        cell.header = header;
        cell.fixedPitch = !header && shape.fixedPitch;
        cell.alignment = !header && shape.alignLeft ? Qt::AlignLeft : Qt::AlignHCenter;
        pages_.back().cells.push_back(
            placed(std::move(cell), QRectF(shape.leftMm, y_, shape.widthMm, height), device));
    }
    y_ += height;
}

void ReportDocument::placeTable(const std::string& section, const report::Table& table,
                                QPaintDevice& device) {
    const double headerHeight = rowHeightMm(table, table.headers, device, true);
    const double firstRowHeight =
        table.rows.empty() ? 0.0 : rowHeightMm(table, table.rows.front(), device, false);
    // A section title never stands alone at the foot of a page.
    if (y_ + kSectionHeightMm + headerHeight + firstRowHeight > bodyHeightMm())
        newPage();
    ReportCell title;
    title.text = toQString(section);
    title.points = report::kSectionPoints;
    pages_.back().cells.push_back(placed(
        std::move(title), QRectF(0.0, y_, report::kContentWidthMm, kSectionHeightMm), device));
    y_ += kSectionHeightMm;
    placeRow(table, table.headers, headerHeight, device, true);
    for (const std::vector<std::string>& row : table.rows) {
        const double height = rowHeightMm(table, row, device, false);
        if (y_ + height > bodyHeightMm()) {
            newPage();
            // The columns stay readable on every page.
            placeRow(table, table.headers, headerHeight, device, true);
        }
        placeRow(table, row, height, device, false);
        ++pages_.back().bodyRows;
    }
}

void ReportDocument::layOut() {
    QImage reference = referenceDevice();
    layOut(reference);
}

void ReportDocument::layOut(QPaintDevice& device) {
    pages_.clear();
    newPage();
    ReportCell title;
    title.text = toQString(content_.title);
    title.points = report::kTitlePoints;
    pages_.back().cells.push_back(
        placed(std::move(title), QRectF(0.0, 0.0, report::kContentWidthMm, report::kTitleHeightMm),
               device));
    y_ = report::kTitleHeightMm;
    placeTable(content_.remoteSection, content_.remotes, device);
    placeTable(content_.channelSection, content_.channels, device);

    const double footerTop = report::kContentHeightMm - kFooterHeightMm;
    const double half = report::kContentWidthMm / 2;
    const QString printed = printedAt_.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    for (std::size_t page = 0; page < pages_.size(); ++page) {
        std::vector<ReportCell>& cells = pages_[page].cells;
        ReportCell date;
        date.text = printed;
        date.points = report::kFooterPoints;
        date.alignment = Qt::AlignLeft;
        cells.push_back(
            placed(std::move(date), QRectF(0.0, footerTop, half, kFooterHeightMm), device));
        ReportCell number;
        number.text = toQString(report::pageText(content_, static_cast<int>(page) + 1));
        number.points = report::kFooterPoints;
        number.alignment = Qt::AlignRight;
        cells.push_back(
            placed(std::move(number), QRectF(half, footerTop, half, kFooterHeightMm), device));
    }
}

void ReportDocument::drawPage(QPainter& painter, int page) const {
    QPaintDevice& device = *painter.device();
    const double x = pixelsPerMmX(device);
    const double y = pixelsPerMmY(device);
    const auto toPixels = [x, y](const QRectF& mm) {
        return QRectF(mm.left() * x, mm.top() * y, mm.width() * x, mm.height() * y);
    };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPen frame(Qt::black);
    frame.setWidthF(kFrameWidthMm * x);
    for (const ReportCell& cell : pages_.at(static_cast<std::size_t>(page)).cells) {
        const QRectF rect = toPixels(cell.rectMm);
        if (cell.header)
            painter.fillRect(rect, QColor(kHeaderShade, kHeaderShade, kHeaderShade));
        if (cell.framed) {
            painter.setPen(frame);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(rect);
        }
        if (cell.text.isEmpty())
            continue;
        QTextLayout layout(cell.text, font(cell.points, cell.fixedPitch), &device);
        layout.setTextOption(wrapping(cell.alignment));
        wrap(layout, textWidthMm(cell) * x);
        painter.setPen(Qt::black);
        layout.draw(&painter,
                    QPointF((cell.rectMm.left() + kCellPaddingMm) * x, cell.textMm.top() * y));
    }
    painter.restore();
}

bool ReportDocument::print(QPagedPaintDevice& device) {
    const QMarginsF margins(report::kMarginMm, report::kMarginMm, report::kMarginMm,
                            report::kMarginMm);
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, margins,
                                     QPageLayout::Millimeter));
    layOut(device);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    for (int page = 0; page < pageCount(); ++page) {
        if (page > 0 && !device.newPage())
            return false;
        drawPage(painter, page);
    }
    return painter.end();
}

std::optional<QString> writeReportPdf(const report::SheetReport& content, const QString& path,
                                      const QDateTime& printedAt) {
    QPdfWriter writer(path);
    writer.setResolution(kReferenceDpi);
    writer.setTitle(toQString(content.documentTitle));
    writer.setCreator(toQString(untranslated(Untranslated::ProgramTitle)));
    ReportDocument document(content, printedAt);
    if (!document.print(writer))
        return QStringLiteral("%1: cannot be written").arg(path);
    return std::nullopt;
}

} // namespace konfigor
