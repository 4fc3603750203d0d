#include "gui/loading_progress_form.h"

#include "gui/control_texts.h"
#include "gui/qt_text.h"
#include "gui/widgets/title_room.h"
#include "gui/window_placement.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QEventLoop>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace konfigor {
namespace {

constexpr int kProgressMaximum = 100;

} // namespace

TLoadingProgressForm::TLoadingProgressForm(const TextTable& texts, std::function<void()> onCancel,
                                           QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint),
      texts_(texts), onCancel_(std::move(onCancel)) {
    setObjectName(QStringLiteral("LoadingProgressForm"));
    setWindowModality(Qt::ApplicationModal);
    progressBar_ = new QProgressBar(this);
    progressBar_->setObjectName(QStringLiteral("ProgressBar"));
    progressBar_->setRange(0, kProgressMaximum);
    progressBar_->setMinimumWidth(300);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    cancelButton_ = buttons->button(QDialogButtonBox::Cancel);
    cancelButton_->setObjectName(QStringLiteral("CancelButton"));
    cancelButton_->setProperty("standardText", cancelButton_->text());
    connect(buttons, &QDialogButtonBox::rejected, this, &TLoadingProgressForm::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(progressBar_);
    layout->addWidget(buttons, 0, Qt::AlignCenter);
    keepRoomForTitle(*this, *layout); // the caption names the transfer
    applyTexts();
}

void TLoadingProgressForm::applyTexts() {
    keepControlTexts(*this, "TLoadingProgressForm", texts_);
    if (cancelButton_->text().isEmpty())
        cancelButton_->setText(cancelButton_->property("standardText").toString());
}

// A loop of our own rather than exec(): hiding the window (the application minimised) must not
// end the transfer's dialog; only finish() does.
TransferResult TLoadingProgressForm::run(const std::string& caption) {
    if (loop_ != nullptr)
        return TransferResult::Abort;
    setWindowTitle(toQString(caption));
    progressBar_->setValue(0);
    centreOverParent(*this);
    QEventLoop loop;
    loop_ = &loop;
    result_ = TransferResult::Abort;
    QDialog::show();
    loop.exec(QEventLoop::DialogExec);
    loop_ = nullptr;
    QDialog::hide();
    return result_;
}

void TLoadingProgressForm::setPercent(int percent) {
    progressBar_->setValue(std::clamp(percent, 0, kProgressMaximum));
}

int TLoadingProgressForm::percent() const {
    return progressBar_->value();
}

void TLoadingProgressForm::finish(TransferResult result) {
    if (loop_ == nullptr)
        return;
    result_ = result;
    loop_->quit();
}

// Escape and closing the window ask the session, like the Cancel button; the dialog stays.
void TLoadingProgressForm::reject() {
    if (onCancel_)
        onCancel_();
}

} // namespace konfigor
