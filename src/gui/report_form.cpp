#include "gui/report_form.h"

#include "gui/control_texts.h"
#include "gui/qt_text.h"
#include "report/sheet_report.h"
#include "texts/text_table.h"
#include "texts/untranslated_texts.h"

#include <QAction>
#include <QFileDialog>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

namespace konfigor {
namespace {

constexpr std::string_view kWindowClass = "TRaportForm";

// One page as paper: white, the report drawn inside the margins, as wide as the window.
class PagePreview : public QWidget {
public:
    PagePreview(const TRaportForm& form, QWidget* parent) : QWidget(parent), form_(form) {
        QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        policy.setHeightForWidth(true);
        setSizePolicy(policy);
    }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override {
        return static_cast<int>(width * report::kPageHeightMm / report::kPageWidthMm);
    }
    QSize sizeHint() const override { return {595, heightForWidth(595)}; }

protected:
    void paintEvent(QPaintEvent*) override {
        const qreal ratio = devicePixelRatioF();
        QImage page(size() * ratio, QImage::Format_RGB32);
        page.setDevicePixelRatio(1.0);
        const double pixelsPerMm = page.width() / report::kPageWidthMm;
        const int dotsPerMeter = static_cast<int>(pixelsPerMm * 1000.0 + 0.5);
        page.setDotsPerMeterX(dotsPerMeter);
        page.setDotsPerMeterY(dotsPerMeter);
        page.fill(Qt::white);
        {
            QPainter painter(&page);
            painter.translate(report::kMarginMm * pixelsPerMm, report::kMarginMm * pixelsPerMm);
            form_.document().drawPage(painter, form_.currentPage());
        }
        page.setDevicePixelRatio(ratio);
        QPainter painter(this);
        painter.drawImage(QPoint(0, 0), page);
    }

private:
    const TRaportForm& form_;
};

QAction* addTool(QToolBar* bar, const char* objectName, const QIcon& icon) {
    QAction* action = bar->addAction(icon, QString());
    action->setObjectName(QString::fromLatin1(objectName));
    return action;
}

} // namespace

TRaportForm::TRaportForm(const SettingsSheet& sheet, const TextTable& texts, QWidget* parent)
    : QDialog(parent), sheet_(sheet), texts_(texts) {
    setObjectName(QStringLiteral("TRaportForm"));
    setModal(true);
    rebuild();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* tools = new QToolBar(this);
    tools->setObjectName(QStringLiteral("ToolBar"));
    QAction* print = addTool(tools, "ToolButtonPrint",
                             QIcon::fromTheme(QStringLiteral("document-print"),
                                              style()->standardIcon(QStyle::SP_DialogSaveButton)));
    QAction* pdf = addTool(tools, "ToolButtonSavePdf",
                           QIcon::fromTheme(QStringLiteral("document-save-as"),
                                            style()->standardIcon(QStyle::SP_DriveFDIcon)));
    tools->addSeparator();
    prior_ = addTool(tools, "ToolButtonPrior", style()->standardIcon(QStyle::SP_ArrowLeft));
    next_ = addTool(tools, "ToolButtonNext", style()->standardIcon(QStyle::SP_ArrowRight));
    tools->addSeparator();
    QAction* exit =
        addTool(tools, "ToolButtonExit", style()->standardIcon(QStyle::SP_DialogCloseButton));
    layout->addWidget(tools);

    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("PreviewArea"));
    scroll->setWidgetResizable(true);
    scroll->setBackgroundRole(QPalette::Dark);
    preview_ = new PagePreview(*this, scroll);
    preview_->setObjectName(QStringLiteral("Preview"));
    scroll->setWidget(preview_);
    layout->addWidget(scroll, 1);

    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName(QStringLiteral("StatusBar"));
    statusBar_->setSizeGripEnabled(false);
    layout->addWidget(statusBar_);

    connect(print, &QAction::triggered, this, &TRaportForm::printReport);
    connect(pdf, &QAction::triggered, this, &TRaportForm::savePdf);
    connect(prior_, &QAction::triggered, this, &TRaportForm::priorPage);
    connect(next_, &QAction::triggered, this, &TRaportForm::nextPage);
    connect(exit, &QAction::triggered, this, &QDialog::close);

    keepControlTexts(*this, kWindowClass, texts_);
    resize(680, 820);
    showPage();
}

TRaportForm::~TRaportForm() = default;

void TRaportForm::showEvent(QShowEvent* event) {
    // The sheet may have changed since the window was last open.
    rebuild();
    showPage();
    QDialog::showEvent(event);
}

void TRaportForm::rebuild() {
    document_ = std::make_unique<ReportDocument>(report::buildSheetReport(sheet_, texts_),
                                                 QDateTime::currentDateTime());
    page_ = 0;
}

void TRaportForm::priorPage() {
    if (page_ > 0)
        --page_;
    showPage();
}

void TRaportForm::nextPage() {
    if (page_ + 1 < document_->pageCount())
        ++page_;
    showPage();
}

void TRaportForm::showPage() {
    if (statusBar_)
        statusBar_->showMessage(
            toQString(texts_.format(Msg::PreviewPageStatus, page_ + 1, document_->pageCount())));
    if (prior_)
        prior_->setEnabled(page_ > 0);
    if (next_)
        next_->setEnabled(page_ + 1 < document_->pageCount());
    if (preview_)
        preview_->update();
}

void TRaportForm::printReport() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(toQString(document_->content().documentTitle));
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // Laid out again for the printer chosen, with its own resolution.
    ReportDocument printed(document_->content(), QDateTime::currentDateTime());
    if (!printed.print(printer) || printer.printerState() == QPrinter::Error ||
        printer.printerState() == QPrinter::Aborted)
        QMessageBox::warning(this, toQString(untranslated(Untranslated::ProgramTitle)),
                             toQString(texts_.text(Msg::PrintingCancelled)));
}

void TRaportForm::savePdf() {
    const QString path =
        QFileDialog::getSaveFileName(this, toQString(texts_.text(Keyed::ReportSavePdf)), QString(),
                                     toQString(texts_.text(Keyed::ReportPdfFilter)));
    if (path.isEmpty())
        return;
    if (writeReportPdf(document_->content(), path, QDateTime::currentDateTime()))
        QMessageBox::warning(this, toQString(untranslated(Untranslated::ProgramTitle)),
                             toQString(texts_.text(Keyed::ReportPdfNotWritten)));
}

} // namespace konfigor
