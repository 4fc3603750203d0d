#include "kvr/report_command.h"

#include "gui/qt_text.h"
#include "gui/report_document.h"
#include "kvr/command_support.h"
#include "kvr/kvr_commands.h"
#include "report/sheet_report.h"
#include "texts/text_table.h"

#include <filesystem>
#include <optional>
#include <string>

#include <QDateTime>
#include <QGuiApplication>

namespace konfigor::kvr {
namespace {

struct ReportArguments {
    std::filesystem::path input;
    std::filesystem::path output;
};

std::optional<ReportArguments> parse(std::span<const std::string_view> args, std::ostream& err) {
    std::optional<std::string_view> input;
    std::optional<std::string_view> output;
    bool optionsEnded = false;
    for (std::size_t index = 0; index < args.size(); ++index) {
        const std::string_view word = args[index];
        if (!optionsEnded && word == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (word == "-o" || word == "--output")) {
            if (output || index + 1 == args.size()) {
                err << "kvr: report: " << (output ? "option -o given twice" : "-o needs a file")
                    << '\n';
                return std::nullopt;
            }
            output = args[++index];
        } else if (!optionsEnded && word.size() > 1 && word.front() == '-') {
            err << "kvr: report: unknown option " << word << '\n';
            return std::nullopt;
        } else if (input) {
            err << "kvr: report: unexpected argument " << word << '\n';
            return std::nullopt;
        } else {
            input = word;
        }
    }
    if (!input || !output) {
        err << "kvr: report: missing " << (input ? "-o OUT.pdf" : "FILE.kvr") << '\n'
            << "Usage: kvr report FILE.kvr -o OUT.pdf\n";
        return std::nullopt;
    }
    return ReportArguments{std::filesystem::path(*input), std::filesystem::path(*output)};
}

} // namespace

int runReportCommand(std::span<const std::string_view> args, std::ostream& err) {
    const auto arguments = parse(args, err);
    if (!arguments)
        return kExitUsage;
    const TextTable texts;
    const auto loaded = loadSheet(arguments->input, texts, err);
    if (!loaded)
        return kExitFileError;

    // No display is needed to draw a PDF.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "kvr";
    char* argv[] = {name, nullptr};
    const QGuiApplication application(argc, argv);

    const QString output = QString::fromStdString(arguments->output.string());
    if (const auto error = writeReportPdf(report::buildSheetReport(loaded->sheet, texts), output,
                                          QDateTime::currentDateTime())) {
        err << "kvr: report: " << error->toStdString() << '\n';
        return kExitFileError;
    }
    return kExitSuccess;
}

} // namespace konfigor::kvr
