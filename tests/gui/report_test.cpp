#include "gui/main_form.h"
#include "gui/report_document.h"
#include "gui/report_form.h"
#include "report/sheet_report.h"
#include "session/app_core.h"
#include "sheet/image_transfer.h"
#include "sheet/serial_word.h"
#include "sheet/settings_sheet.h"
#include "sim/demo_receiver.h"
#include "support/temp_folder.h"
#include "texts/text_table.h"

#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTimer>
#include <gtest/gtest.h>

namespace konfigor {
namespace {

const QDateTime kPrintedAt(QDate(2024, 3, 5), QTime(14, 30));

// A program of poppler-utils on the file; its standard output.
QString popplerOutput(const QString& program, QStringList arguments) {
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(60'000)) << program.toStdString();
    EXPECT_EQ(process.exitCode(), 0) << program.toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The text of the PDF with every run of white space as one space, so that a cell's wrapped
// lines read as one line.
QString pdfText(const std::filesystem::path& pdf) {
    return popplerOutput(QStringLiteral("pdftotext"),
                         {QString::fromStdString(pdf.string()), QStringLiteral("-")})
        .simplified();
}

// The page as laid out, line by line, so that a row's cells read side by side.
QStringList pdfLayoutLines(const std::filesystem::path& pdf) {
    return popplerOutput(QStringLiteral("pdftotext"),
                         {QStringLiteral("-layout"), QString::fromStdString(pdf.string()),
                          QStringLiteral("-")})
        .split(QLatin1Char('\n'));
}

int pdfPages(const std::filesystem::path& pdf) {
    const QString info =
        popplerOutput(QStringLiteral("pdfinfo"), {QString::fromStdString(pdf.string())});
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

SettingsSheet fullSheet() {
    SettingsSheet sheet;
    for (std::size_t slot = 0; slot < kRemoteSlotCount; ++slot)
        sheet.remotes[slot].serialWord = static_cast<std::uint32_t>(1000 + slot);
    return sheet;
}

class ReportDocumentTest : public testing_support::TempFolderTest {
protected:
    const TextTable texts_;

    // Written as the program writes it; the document keeps the layout it printed with.
    ReportDocument printPdf(const SettingsSheet& sheet, const std::filesystem::path& file) const {
        ReportDocument document(report::buildSheetReport(sheet, texts_), kPrintedAt);
        QPdfWriter writer(QString::fromStdString(file.string()));
        writer.setResolution(1200);
        EXPECT_TRUE(document.print(writer));
        return document;
    }
};

TEST_F(ReportDocumentTest, PdfHoldsTheSheetsTextsWithFontsEmbedded) {
    SettingsSheet sheet;
    sheet.remotes[5].serialWord = 4321;
    sheet.remotes[5].description.assignUtf8("Żółta brama – wjazd");
    sheet.remotes[5].buttonMasks = {0b0101, 0, 0, 0};
    sheet.remotes[9].serialWord = serial_word::withMulti(8765, true);
    sheet.remotes[9].copyLock = false;
    sheet.channels[0].time = 25;
    sheet.channels[0].doublePress = true;
    sheet.channels[1].time = 0;
    sheet.channels[1].doublePress = true;
    sheet.channels[2].description.assignUtf8("Oświetlenie ogrodu");
    const auto file = path("report.pdf");
    printPdf(sheet, file);

    const QString text = pdfText(file);
    for (const char* expected :
         {"Arkusz Nastaw GTQ ZOR", "Ustawienia pilotów", "Ustawienia kanałów", "Nr p. Id pilota",
          "Opis pilota", "Blok. kopiow", "Tryb pracy [czas w", "Żółta brama – wjazd", "10 (M) 8765",
          "nie", "tak", "Monostabilny [2.5] Pdwójne przyciśnięcie", "2 Bistabilny",
          "Oświetlenie ogrodu", "2024-03-05 14:30", "Strona: 1"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;
    const QStringList lines = pdfLayoutLines(file);
    const auto lineOf = [&](const char* pattern) {
        return lines.indexOf(QRegularExpression(QString::fromUtf8(pattern)));
    };
    const auto sixth = lineOf(R"(^\s*6\s+4321\s+Żółta brama – wjazd\s+K1\s+3\s+tak$)");
    const auto tenth = lineOf(R"(^\s*10\s+\(M\) 8765\s+nie$)");
    EXPECT_GE(sixth, 0);
    EXPECT_GT(tenth, sixth);
    // The bistable channel says nothing of its double press.
    EXPECT_EQ(text.count(QStringLiteral("Pdwójne")), 1);

    const QStringList fonts =
        popplerOutput(QStringLiteral("pdffonts"), {QString::fromStdString(file.string())})
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
            .mid(2);
    ASSERT_FALSE(fonts.isEmpty());
    for (const QString& font : fonts) {
        // name type encoding emb sub uni object ID: the "emb" column.
        const QStringList columns = font.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        ASSERT_GE(columns.size(), 7);
        EXPECT_EQ(columns.at(columns.size() - 5), QStringLiteral("yes")) << font.toStdString();
    }
}

TEST_F(ReportDocumentTest, FullSheetFillsPagesAsTheLayoutPaginatesIt) {
    const auto file = path("full.pdf");
    const ReportDocument document = printPdf(fullSheet(), file);
    ASSERT_GT(document.pageCount(), 1);
    EXPECT_EQ(pdfPages(file), document.pageCount());

    const double bodyBottom = report::kContentHeightMm - ReportDocument::kFooterHeightMm;
    int rows = 0;
    for (int page = 0; page < document.pageCount(); ++page) {
        const ReportPage& laid = document.pages().at(static_cast<std::size_t>(page));
        rows += laid.bodyRows;
        double lowest = 0.0;
        for (const ReportCell& cell : laid.cells) {
            EXPECT_LE(cell.rectMm.right(), report::kContentWidthMm + 1e-6);
            if (cell.rectMm.top() < bodyBottom) {
                lowest = std::max(lowest, cell.rectMm.bottom());
            }
        }
        EXPECT_LE(lowest, bodyBottom + 1e-6) << "page " << page + 1;
        // A page ends only when the next row would not fit on it.
        if (page + 1 < document.pageCount()) {
            EXPECT_GT(lowest + report::kHeaderHeightMm, bodyBottom - 1e-6) << "page " << page + 1;
        }
    }
    EXPECT_EQ(rows, static_cast<int>(kRemoteSlotCount + kChannelCount));

    const QString text = pdfText(file);
    EXPECT_TRUE(text.contains(QStringLiteral("Strona: %1").arg(document.pageCount())));
    EXPECT_TRUE(text.contains(QStringLiteral("704 1703")));
}

TEST_F(ReportDocumentTest, LongDescriptionWrapsInsideItsCell) {
    const std::vector<std::string> descriptions{
        std::string(255, 'W'),
        [] {
            std::string words;
            while (words.size() < 240)
                words += "Łąka ";
            return words;
        }(),
    };
    for (const std::string& description : descriptions) {
        SettingsSheet sheet;
        sheet.remotes[0].serialWord = 77;
        sheet.remotes[0].description.assignUtf8(description);
        ReportDocument document(report::buildSheetReport(sheet, texts_), kPrintedAt);
        const std::vector<ReportCell>& cells = document.pages().front().cells;
        const auto cell = std::ranges::find_if(cells, [&](const ReportCell& c) {
            return c.text == QString::fromStdString(description);
        });
        ASSERT_NE(cell, cells.end());
        SCOPED_TRACE(description);
        EXPECT_GT(cell->rectMm.height(), report::kHeaderHeightMm);
        EXPECT_TRUE(cell->rectMm.contains(cell->textMm))
            << cell->textMm.left() << ' ' << cell->textMm.right() << " in " << cell->rectMm.left()
            << ' ' << cell->rectMm.right();
        // The whole row grows with it.
        for (const ReportCell& other : cells) {
            if (other.framed && !other.header && other.rectMm.top() == cell->rectMm.top()) {
                EXPECT_DOUBLE_EQ(other.rectMm.height(), cell->rectMm.height());
            }
        }
    }
}

TEST(ReportFormTest, PageStepsStopAtTheEndsAndTheReportIsBuiltAfreshWhenShown) {
    const TextTable texts;
    SettingsSheet sheet = fullSheet();
    TRaportForm form(sheet, texts);
    form.show();
    const int pages = form.document().pageCount();
    ASSERT_GT(pages, 2);
    auto* status = form.findChild<QStatusBar*>(QStringLiteral("StatusBar"));
    auto* prior = form.findChild<QAction*>(QStringLiteral("ToolButtonPrior"));
    auto* next = form.findChild<QAction*>(QStringLiteral("ToolButtonNext"));
    ASSERT_TRUE(status && prior && next);
    EXPECT_EQ(prior->toolTip(), QStringLiteral("Poprzednia strona"));
    EXPECT_EQ(status->currentMessage(), QStringLiteral("Strona 1 z %1").arg(pages));

    form.priorPage();
    EXPECT_EQ(form.currentPage(), 0);
    next->trigger();
    EXPECT_EQ(status->currentMessage(), QStringLiteral("Strona 2 z %1").arg(pages));
    for (int step = 0; step < pages + 2; ++step)
        form.nextPage();
    EXPECT_EQ(form.currentPage(), pages - 1);
    EXPECT_FALSE(next->isEnabled());
    EXPECT_EQ(status->currentMessage(), QStringLiteral("Strona %1 z %1").arg(pages));
    prior->trigger();
    EXPECT_EQ(form.currentPage(), pages - 2);

    form.hide();
    sheet = SettingsSheet{};
    form.show();
    EXPECT_EQ(form.document().pageCount(), 1);
    EXPECT_EQ(form.currentPage(), 0);
    EXPECT_EQ(status->currentMessage(), QStringLiteral("Strona 1 z 1"));
}

TEST(ReportFormTest, MainMenuOpensTheReportOfTheCurrentSheet) {
    TMainForm form{CommandLine{}};
    form.core().sheet().remotes[42].serialWord = 5555;
    auto* command = form.findChild<QAction*>(QStringLiteral("MainMenuPrintArkuszKVR"));
    ASSERT_NE(command, nullptr);
    ASSERT_TRUE(command->isEnabled());
    std::vector<std::vector<std::string>> rows;
    QString caption;
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, &rows, &caption] {
        auto* report = qobject_cast<TRaportForm*>(QApplication::activeModalWidget());
        if (!report)
            return;
        poll->stop();
        poll->deleteLater();
        rows = report->document().content().remotes.rows;
        caption = report->windowTitle();
        report->findChild<QAction*>(QStringLiteral("ToolButtonExit"))->trigger();
    });
    poll->start(10);
    command->trigger();
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(rows.front().front(), "43");
    EXPECT_EQ(caption, QStringLiteral("Raport"));
}

TEST_F(ReportDocumentTest, DemoReceiversReportShowsItsRemotes) {
    ReceiverSimulator simulator;
    DemoReceiver::fillMemory(simulator);
    SettingsSheet sheet;
    copyImageToSheet(simulator.memory(), sheet);
    const auto file = path("demo.pdf");
    const ReportDocument document = printPdf(sheet, file);
    EXPECT_EQ(document.pageCount(), 1);
    EXPECT_TRUE(pdfText(file).contains(QStringLiteral("(M) ")));
}

} // namespace
} // namespace konfigor
