#include "gui/qt_search_windows.h"

#include "gui/file_browser_form.h"
#include "gui/qt_text.h"
#include "gui/replace_form.h"
#include "gui/scan_results_form.h"
#include "gui/scan_settings_form.h"
#include "gui/window_placement.h"
#include "texts/message_format.h"
#include "texts/text_table.h"
#include "texts/untranslated_texts.h"

#include <atomic>
#include <stop_token>
#include <thread>

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>

namespace konfigor {
namespace {

// Dialogs shown while the main window has the busy cursor keep the ordinary one.
class NormalCursor {
public:
    explicit NormalCursor(bool busy) : busy_(busy) {
        if (busy_)
            QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~NormalCursor() {
        if (busy_)
            QApplication::restoreOverrideCursor();
    }
    NormalCursor(const NormalCursor&) = delete;
    NormalCursor& operator=(const NormalCursor&) = delete;

private:
    bool busy_;
};

// Esc and the close box ask the scan to stop like Cancel does; the dialog stays until the
// scan has ended.
class ScanProgressDialog final : public QProgressDialog {
public:
    explicit ScanProgressDialog(QWidget* parent) : QProgressDialog(parent) {
        // Qt wires its own Cancel to hide the dialog at once; the scan is waited for instead.
        QObject::disconnect(this, SIGNAL(canceled()), this, SLOT(cancel()));
    }

    void reject() override { Q_EMIT canceled(); }
};

QString progressText(const TextTable& texts, std::size_t done, std::size_t found) {
    return toQString(texts.format(Keyed::ScanProgressLabel, static_cast<unsigned long>(done),
                                  static_cast<unsigned long>(found)));
}

QString skippedLine(const TextTable& texts, const ScanSkip& skip) {
    // A file's error names the file already.
    if (skip.kind == ScanSkip::Kind::File)
        return toQString(skip.error);
    return toQString(texts.format(Keyed::ScanSkippedFolder, skip.path.string(), skip.error));
}

int progressValue(std::size_t count) {
    return static_cast<int>(std::min<std::size_t>(count, std::numeric_limits<int>::max()));
}

} // namespace

QtSearchWindows::QtSearchWindows(QWidget& window, const TextTable& texts)
    : window_(window), texts_(texts) {
    criteriaForm_ = new TScanSettingsForm(texts, &window);
    folderForm_ = new TFileBrowserForm(texts, &window);
    resultsForm_ = new TScanResultsForm(texts, &window);
    replaceForm_ = new TReplaceForm(texts, &window);
}

// The forms are the window's children and go with it.
QtSearchWindows::~QtSearchWindows() {
    if (busy_)
        QApplication::restoreOverrideCursor();
}

std::optional<SearchCriteria> QtSearchWindows::editCriteria(const SearchCriteria& current) {
    const NormalCursor cursor(busy_);
    return criteriaForm_->edit(current);
}

bool QtSearchWindows::chooseFolders(SearchFolderList& list) {
    const NormalCursor cursor(busy_);
    return folderForm_->choose(list);
}

std::optional<ScanOutcome> QtSearchWindows::runScan(const SettingsScan& scan) {
    const NormalCursor cursor(busy_);
    ScanProgressDialog dialog(&window_);
    dialog.setObjectName(QStringLiteral("ScanProgressForm"));
    dialog.setWindowTitle(toQString(untranslated(Untranslated::ProgramTitle)));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setMinimumDuration(0);
    dialog.setCancelButtonText(toQString(texts_.text(Keyed::SearchDialogCancelButton)));
    dialog.setRange(0, 0);
    dialog.setLabelText(progressText(texts_, 0, 0));
    dialog.setMinimumWidth(dialog.fontMetrics().averageCharWidth() * 50);
    centreOverParent(dialog);

    // Only the latest counts matter: the worker posts a new update only once the last one has
    // been shown, so a fast scan cannot flood the window's queue.
    std::atomic<std::size_t> done{0};
    std::atomic<std::size_t> found{0};
    std::atomic<bool> updatePending{false};
    std::optional<ScanOutcome> outcome;
    bool finished = false;
    bool cancelled = false;
    QEventLoop loop;

    const auto showProgress = [&] {
        updatePending = false;
        const std::size_t doneNow = done;
        const std::size_t foundNow = found;
        dialog.setMaximum(progressValue(foundNow));
        dialog.setValue(progressValue(doneNow));
        dialog.setLabelText(progressText(texts_, doneNow, foundNow));
        Q_EMIT scanProgressShown(doneNow, foundNow);
    };

    // Posted events aimed at the dialog go with it, so none outlives what it refers to; the
    // thread is declared last and so is joined first.
    std::jthread worker;
    connect(&dialog, &QProgressDialog::canceled, &dialog, [&] {
        if (cancelled)
            return;
        cancelled = true;
        worker.request_stop();
        if (QPushButton* button = dialog.findChild<QPushButton*>())
            button->setEnabled(false);
    });
    dialog.show();
    worker = std::jthread([&](std::stop_token stop) {
        ScanOutcome result = scan.run(
            [&](const ScanProgress& progress) {
                done = progress.done;
                found = progress.found;
                if (!updatePending.exchange(true))
                    QMetaObject::invokeMethod(&dialog, showProgress, Qt::QueuedConnection);
            },
            stop);
        outcome = std::move(result);
        QMetaObject::invokeMethod(
            &dialog,
            [&] {
                finished = true;
                loop.quit();
            },
            Qt::QueuedConnection);
    });
    if (!finished)
        loop.exec();
    worker.join();
    dialog.hide();

    if (cancelled || !outcome || outcome->cancelled)
        return std::nullopt;
    return outcome;
}

void QtSearchWindows::showSkipped(const std::vector<ScanSkip>& skipped) {
    if (skipped.empty())
        return;
    const NormalCursor cursor(busy_);
    QStringList lines;
    for (const ScanSkip& skip : skipped)
        lines << skippedLine(texts_, skip);
    QMessageBox box(QMessageBox::Warning, toQString(untranslated(Untranslated::ProgramTitle)),
                    toQString(texts_.format(Keyed::ScanSkippedText,
                                            static_cast<unsigned long>(skipped.size()))),
                    QMessageBox::Ok, &window_);
    box.setObjectName(QStringLiteral("ScanSkippedBox"));
    box.setDetailedText(lines.join(QLatin1Char('\n')));
    box.exec();
}

std::optional<std::size_t> QtSearchWindows::chooseResult(const std::vector<ScanResult>& results) {
    const NormalCursor cursor(busy_);
    return resultsForm_->choose(results);
}

ReplaceAnswer QtSearchWindows::askReplace(const std::string& question) {
    const NormalCursor cursor(busy_);
    return replaceForm_->ask(toQString(question));
}

void QtSearchWindows::setBusyCursor(bool busy) {
    if (busy == busy_)
        return;
    busy_ = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

} // namespace konfigor
