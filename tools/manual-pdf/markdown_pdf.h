#pragma once

#include <optional>

#include <QString>

namespace konfigor::manual {

// How the printed manual looks.
struct PdfLook {
    QString fontFamily = QStringLiteral("DejaVu Sans");
    QString monospaceFamily = QStringLiteral("DejaVu Sans Mono");
    qreal fontPointSize = 10;
    // A4 with this margin on every side.
    qreal marginMillimetres = 15;
};

// Renders the Markdown file at markdownPath into an A4 PDF at pdfPath, with the current chapter
// and the page number in each page's footer. Images are found relative to the Markdown file and
// scaled down to the text width where they are wider. Needs a QGuiApplication.
//
// Returns an error text, or nothing when the PDF was written. On an error nothing is left at
// pdfPath (a PDF that was there stays as it was), so a build never takes a half-written manual
// for a finished one.
std::optional<QString> renderMarkdownToPdf(const QString& markdownPath, const QString& pdfPath,
                                           const PdfLook& look = {});

} // namespace konfigor::manual
