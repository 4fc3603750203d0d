#include "markdown_pdf.h"

#include <cmath>
#include <vector>

#include <QAbstractTextDocumentLayout>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPixmap>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>
#include <QUrl>

namespace konfigor::manual {
namespace {

// Device pixels per inch of the PDF; the text itself stays vector.
constexpr int kResolution = 300;
// Document lengths given in pixels (image sizes, block margins) count at this density.
constexpr qreal kDocumentDpi = 96;
constexpr qreal kMillimetresPerInch = 25.4;
// Below the text: the footer's rule and line.
constexpr qreal kFooterMillimetres = 9;
constexpr qreal kFooterRuleMillimetres = 3;
constexpr qreal kFooterPointSize = 8;
// Letter spacing too small to see, in device pixels; any spacing at all stops ligatures.
constexpr qreal kLigatureBreakingSpacing = 0.05;

const QColor kHeadingColour(0x1f, 0x3a, 0x60);
const QColor kRuleColour(0xa0, 0xa0, 0xa0);
const QColor kFooterColour(0x55, 0x55, 0x55);
const QColor kTableBorderColour(0xa8, 0xa8, 0xa8);
const QColor kTableHeaderColour(0xe8, 0xec, 0xf2);
const QColor kCodeBackground(0xf2, 0xf2, 0xf2);

qreal deviceFromMillimetres(qreal millimetres) {
    return millimetres / kMillimetresPerInch * kResolution;
}

QString quoted(const QString& path) {
    return QLatin1Char('"') + QDir::toNativeSeparators(path) + QLatin1Char('"');
}

std::optional<QString> readUtf8(const QString& path, QString& text) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read %1: %2").arg(quoted(path), file.errorString());
    const QByteArray bytes = file.readAll();
    QStringDecoder decoder(QStringDecoder::Utf8);
    text = decoder(bytes);
    // A manual saved in another encoding would print its Polish letters wrong.
    if (decoder.hasError())
        return QStringLiteral("%1 is not valid UTF-8").arg(quoted(path));
    return std::nullopt;
}

QImage imageFrom(const QVariant& resource) {
    switch (resource.typeId()) {
    case QMetaType::QImage:
        return resource.value<QImage>();
    case QMetaType::QPixmap:
        return resource.value<QPixmap>().toImage();
    case QMetaType::QByteArray:
        return QImage::fromData(resource.toByteArray());
    default:
        return {};
    }
}

// Every image must load: a missing one would print as an empty box without a word. Images wider
// than the text are scaled down to its width.
std::optional<QString> fitImages(QTextDocument& document, qreal textWidth,
                                 const QString& markdownPath) {
    struct Change {
        int position;
        int length;
        QTextImageFormat format;
    };
    std::vector<Change> changes;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat())
                continue;
            QTextImageFormat format = fragment.charFormat().toImageFormat();
            const QImage image =
                imageFrom(document.resource(QTextDocument::ImageResource, QUrl(format.name())));
            if (image.isNull())
                return QStringLiteral("%1: cannot read the image %2")
                    .arg(quoted(markdownPath), format.name());
            if (image.width() <= textWidth)
                continue;
            format.setWidth(textWidth);
            format.setHeight(image.height() * textWidth / image.width());
            changes.push_back({fragment.position(), fragment.length(), format});
        }
    }
    for (const Change& change : changes) {
        QTextCursor cursor(&document);
        cursor.setPosition(change.position);
        cursor.setPosition(change.position + change.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(change.format);
    }
    return std::nullopt;
}

void styleTable(QTextTable& table) {
    QTextTableFormat format = table.format();
    format.setBorder(1);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderBrush(kTableBorderColour);
    format.setBorderCollapse(true);
    format.setCellSpacing(0);
    format.setCellPadding(4);
    format.setTopMargin(4);
    format.setBottomMargin(8);
    // A table running onto the next page shows its titles there again.
    format.setHeaderRowCount(1);
    table.setFormat(format);

    // The Markdown reader opens a table's first cell with an empty paragraph, which would push
    // the header's first title a line down.
    for (int row = 0; row < table.rows(); ++row) {
        for (int column = 0; column < table.columns(); ++column) {
            const QTextTableCell cell = table.cellAt(row, column);
            QTextCursor first = cell.firstCursorPosition();
            if (first.block().length() == 1 && first.block() != cell.lastCursorPosition().block())
                first.deleteChar();
        }
    }

    // Markdown tables always have their header row first.
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    for (int column = 0; column < table.columns(); ++column) {
        QTextTableCell cell = table.cellAt(0, column);
        QTextTableCellFormat cellFormat = cell.format().toTableCellFormat();
        cellFormat.setBackground(kTableHeaderColour);
        cell.setFormat(cellFormat);
        QTextCursor cursor = cell.firstCursorPosition();
        cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(bold);
    }
}

void styleTables(QTextFrame& frame) {
    for (QTextFrame* child : frame.childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(child))
            styleTable(*table);
        styleTables(*child);
    }
}

bool isCodeLine(const QTextBlock& block) {
    return block.isValid() && block.blockFormat().hasProperty(QTextFormat::BlockCodeFence);
}

void selectBlock(QTextCursor& cursor) {
    cursor.movePosition(QTextCursor::StartOfBlock);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
}

// "ff" in 04d8:ff0c must copy out of the PDF as two letters, so that what a reader copies into a
// terminal still works.
void turnLigaturesOff(QTextDocument& document) {
    QTextCharFormat spaced;
    spaced.setFontLetterSpacingType(QFont::AbsoluteSpacing);
    spaced.setFontLetterSpacing(kLigatureBreakingSpacing);
    QTextCursor all(&document);
    all.select(QTextCursor::Document);
    all.mergeCharFormat(spaced);
}

void styleBlocks(QTextDocument& document, const PdfLook& look) {
    QTextCharFormat heading;
    heading.setForeground(kHeadingColour);
    QTextCharFormat monospace;
    monospace.setFontFamilies({look.monospaceFamily});
    // A point smaller, so that command lines of up to 94 characters fit the width.
    QTextCharFormat codeLine = monospace;
    codeLine.setFontPointSize(look.fontPointSize - 1);

    std::vector<std::pair<int, int>> codeSpans;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextCursor cursor(block);
        QTextBlockFormat format = block.blockFormat();
        const int level = format.headingLevel();
        if (level > 0) {
            format.setTopMargin(level == 1 ? 0 : 14);
            format.setBottomMargin(6);
            cursor.setBlockFormat(format);
            selectBlock(cursor);
            cursor.mergeCharFormat(heading);
            continue;
        }
        if (isCodeLine(block)) {
            format.setBackground(kCodeBackground);
            format.setLeftMargin(8);
            format.setTopMargin(isCodeLine(block.previous()) ? 0 : 4);
            format.setBottomMargin(isCodeLine(block.next()) ? 0 : 8);
            cursor.setBlockFormat(format);
            selectBlock(cursor);
            cursor.mergeCharFormat(codeLine);
            continue;
        }
        if (cursor.currentTable()) {
            // The first cell inherits a paragraph's spacing, which would push its row apart.
            format.setTopMargin(0);
            format.setBottomMargin(0);
            cursor.setBlockFormat(format);
        } else if (block.textList()) {
            format.setTopMargin(2);
            format.setBottomMargin(2);
            cursor.setBlockFormat(format);
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().fontFixedPitch())
                codeSpans.emplace_back(fragment.position(), fragment.length());
        }
    }
    // Code spans in the monospace family that goes with the text's.
    for (const auto& [position, length] : codeSpans) {
        QTextCursor span(&document);
        span.setPosition(position);
        span.setPosition(position + length, QTextCursor::KeepAnchor);
        span.mergeCharFormat(monospace);
    }
}

// Where the block's first line begins: a line that does not fit is moved down to the next page
// inside its block, so the block itself may still start on the page before.
qreal topOf(const QTextDocument& document, const QTextBlock& block) {
    const qreal top = document.documentLayout()->blockBoundingRect(block).top();
    const QTextLayout* layout = block.layout();
    return layout && layout->lineCount() > 0 ? top + layout->lineAt(0).y() : top;
}

int pageOf(qreal y, qreal pageHeight) {
    return static_cast<int>(y / pageHeight);
}

bool isHeading(const QTextBlock& block) {
    return block.isValid() && block.blockFormat().headingLevel() > 0;
}

// Headings left at the foot of a page move to the next one with their text; headings right
// below each other (a chapter's and its first section's) move together.
void keepHeadingsWithText(QTextDocument& document, qreal pageHeight) {
    bool moved = true;
    while (moved) {
        moved = false;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            const QTextBlock next = block.next();
            if (!isHeading(block) || !next.isValid() ||
                pageOf(topOf(document, block), pageHeight) ==
                    pageOf(topOf(document, next), pageHeight))
                continue;
            QTextBlock first = block;
            while (isHeading(first.previous()))
                first = first.previous();
            QTextBlockFormat format = first.blockFormat();
            if (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
                continue;
            format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            QTextCursor(first).setBlockFormat(format);
            // Laid out anew from the start: the layout's own update after a page break loses
            // the text between the break and the next table.
            document.setPageSize(document.pageSize());
            moved = true;
            break;
        }
    }
}

// The title of the chapter (second-level heading) each page begins in: a chapter that starts at
// the very top of a page counts for it. Pages before the first chapter take the document's title.
std::vector<QString> chapterOfEachPage(const QTextDocument& document, qreal pageHeight) {
    std::vector<QString> chapters(static_cast<std::size_t>(document.pageCount()));
    QString title;
    // Where each chapter starts, in pages (2.01 is just below the top of the third page).
    std::vector<std::pair<qreal, QString>> starts;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level == 1 && title.isEmpty())
            title = block.text();
        if (level == 2)
            starts.emplace_back(topOf(document, block) / pageHeight, block.text());
    }
    constexpr qreal kTopOfPage = 0.02;
    QString current = title;
    auto start = starts.begin();
    for (std::size_t page = 0; page < chapters.size(); ++page) {
        while (start != starts.end() && start->first < static_cast<qreal>(page) + kTopOfPage)
            current = (start++)->second;
        chapters[page] = current;
    }
    return chapters;
}

QString documentTitle(const QTextDocument& document, const QString& markdownPath) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 1)
            return block.text();
    }
    return QFileInfo(markdownPath).completeBaseName();
}

void drawFooter(QPainter& painter, const QRectF& area, const QString& chapter, int page,
                int pageCount, const PdfLook& look) {
    painter.save();
    painter.setPen(QPen(kRuleColour, deviceFromMillimetres(0.2)));
    painter.drawLine(area.topLeft(), area.topRight());
    QFont font(look.fontFamily);
    font.setPointSizeF(kFooterPointSize);
    font.setLetterSpacing(QFont::AbsoluteSpacing, kLigatureBreakingSpacing);
    painter.setFont(font);
    painter.setPen(kFooterColour);
    const QString number = QStringLiteral("%1 / %2").arg(page).arg(pageCount);
    const QRectF text = area.adjusted(0, deviceFromMillimetres(kFooterRuleMillimetres), 0, 0);
    const qreal numberWidth = QFontMetricsF(font, painter.device()).horizontalAdvance(number);
    const QRectF chapterArea = text.adjusted(0, 0, -numberWidth - deviceFromMillimetres(5), 0);
    const QString shownChapter = QFontMetricsF(font, painter.device())
                                     .elidedText(chapter, Qt::ElideRight, chapterArea.width());
    painter.drawText(chapterArea, Qt::AlignLeft | Qt::AlignTop, shownChapter);
    painter.drawText(text, Qt::AlignRight | Qt::AlignTop, number);
    painter.restore();
}

} // namespace

std::optional<QString> renderMarkdownToPdf(const QString& markdownPath, const QString& pdfPath,
                                           const PdfLook& look) {
    QString markdown;
    if (auto error = readUtf8(markdownPath, markdown))
        return error;

    QSaveFile output(pdfPath);
    if (!output.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write %1: %2").arg(quoted(pdfPath), output.errorString());
    QPdfWriter writer(&output);
    writer.setPageSize(QPageSize(QPageSize::A4));
    const qreal margin = look.marginMillimetres;
    writer.setPageMargins(QMarginsF(margin, margin, margin, margin), QPageLayout::Millimeter);
    writer.setResolution(kResolution);
    writer.setCreator(QStringLiteral("Konfigor USB manual-pdf"));

    QTextDocument document;
    // Laid out for the PDF's resolution, so that point sizes and pixel lengths keep their size.
    document.documentLayout()->setPaintDevice(&writer);
    QFont font(look.fontFamily);
    font.setPointSizeF(look.fontPointSize);
    document.setDefaultFont(font);
    document.setDocumentMargin(0);
    // Relative image paths are the Markdown file's.
    document.setBaseUrl(QUrl::fromLocalFile(QFileInfo(markdownPath).absolutePath() + u'/'));
    document.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);

    // Whole device pixels: a line moved to the next page then starts exactly on its top.
    const QSizeF body(writer.width(),
                      std::floor(writer.height() - deviceFromMillimetres(kFooterMillimetres)));
    const qreal textWidthInDocumentPixels = body.width() * kDocumentDpi / kResolution;
    if (auto error = fitImages(document, textWidthInDocumentPixels, markdownPath))
        return error;
    styleTables(*document.rootFrame());
    styleBlocks(document, look);
    turnLigaturesOff(document);
    document.setPageSize(body);
    keepHeadingsWithText(document, body.height());

    writer.setTitle(documentTitle(document, markdownPath));
    QPainter painter;
    if (!painter.begin(&writer))
        return QStringLiteral("cannot start the PDF %1").arg(quoted(pdfPath));
    const int pageCount = document.pageCount();
    const std::vector<QString> chapters = chapterOfEachPage(document, body.height());
    for (int page = 0; page < pageCount; ++page) {
        if (page > 0)
            writer.newPage();
        painter.save();
        painter.translate(0, -page * body.height());
        // One pixel short: the first line of the next page touches this page's bottom edge and
        // would otherwise be drawn here too, cut away but still in the PDF's text.
        document.drawContents(&painter,
                              QRectF(0, page * body.height(), body.width(), body.height() - 1));
        painter.restore();
        const QRectF footer(0, body.height() + deviceFromMillimetres(2), body.width(),
                            deviceFromMillimetres(kFooterMillimetres - 2));
        drawFooter(painter, footer, chapters[static_cast<std::size_t>(page)], page + 1, pageCount,
                   look);
    }
    if (!painter.end() || !output.commit())
        return QStringLiteral("cannot write %1: %2").arg(quoted(pdfPath), output.errorString());
    return std::nullopt;
}

} // namespace konfigor::manual
