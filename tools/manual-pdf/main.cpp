// manual-pdf: renders one of the manuals (Markdown) into a printable PDF during the build.

#include "markdown_pdf.h"

#include <cstdio>

#include <QCommandLineParser>
#include <QGuiApplication>

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

void printError(const QString& text) {
    std::fprintf(stderr, "manual-pdf: %s\n", qPrintable(text));
}

} // namespace

int main(int argc, char* argv[]) {
    // Builds run on machines without a display; fonts come from fontconfig all the same.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("manual-pdf"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KONFIGOR_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Renders a Markdown manual into an A4 PDF; images are found beside the Markdown file."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("manual.md"), QStringLiteral("the manual"));
    parser.addPositionalArgument(QStringLiteral("manual.pdf"), QStringLiteral("the PDF to write"));
    if (!parser.parse(QCoreApplication::arguments())) {
        printError(parser.errorText());
        return kExitUsage;
    }
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
    const QStringList files = parser.positionalArguments();
    if (files.size() != 2) {
        printError(QStringLiteral("give the Markdown file and the PDF to write (see --help)"));
        return kExitUsage;
    }
    if (auto error = konfigor::manual::renderMarkdownToPdf(files[0], files[1])) {
        printError(*error);
        return kExitFailure;
    }
    return 0;
}
