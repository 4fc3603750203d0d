#include "gui/connecting_form.h"

#include "gui/control_texts.h"
#include "gui/qt_text.h"
#include "texts/text_table.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace konfigor {
namespace {

constexpr int kProgressTickMs = 100;
constexpr int kConnectTickMs = 50;
constexpr int kProgressMaximum = 100;

} // namespace

TConnectingForm::TConnectingForm(ReceiverLink& link, const TextTable& texts, QWidget* parent)
    : QDialog(parent), texts_(texts), procedure_(link) {
    setObjectName(QStringLiteral("ConnectingForm"));
    setModal(true);
    label_ = new QLabel(this);
    label_->setObjectName(QStringLiteral("Label"));
    label_->setAlignment(Qt::AlignCenter);
    label_->setMinimumWidth(300);
    progressBar_ = new QProgressBar(this);
    progressBar_->setObjectName(QStringLiteral("ProgressBar"));
    progressBar_->setRange(0, kProgressMaximum);
    progressBar_->setTextVisible(false);
    // The standard button brings the platform's Cancel text and icon, kept when the text
    // table leaves the caption empty.
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    buttonCancel_ = buttons->button(QDialogButtonBox::Cancel);
    buttonCancel_->setObjectName(QStringLiteral("ButtonCancel"));
    buttonCancel_->setProperty("standardText", buttonCancel_->text());
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(progressBar_);
    layout->addWidget(buttons, 0, Qt::AlignCenter);

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timer"));
    timer_->setInterval(kProgressTickMs);
    connect(timer_, &QTimer::timeout, this, &TConnectingForm::TimerTimer);
    timerConnect_ = new QTimer(this);
    timerConnect_->setObjectName(QStringLiteral("TimerConnect"));
    timerConnect_->setInterval(kConnectTickMs);
    connect(timerConnect_, &QTimer::timeout, this, &TConnectingForm::TimerConnectTimer);

    applyTexts();
}

void TConnectingForm::applyTexts() {
    keepControlTexts(*this, "TConnectingForm", texts_);
    if (buttonCancel_->text().isEmpty())
        buttonCancel_->setText(buttonCancel_->property("standardText").toString());
    showLabel(procedure_.label());
}

void TConnectingForm::runConnect(const std::string& portPath) {
    procedure_.startConnect(portPath);
    showLabel(procedure_.label());
    runModal();
}

void TConnectingForm::runDisconnect() {
    if (isVisible() || !procedure_.startDisconnect())
        return;
    showLabel(procedure_.label());
    runModal();
}

void TConnectingForm::closeDialog() {
    if (isVisible())
        done(QDialog::Rejected);
}

void TConnectingForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    timer_->start();
    timerConnect_->start();
}

void TConnectingForm::hideEvent(QHideEvent* event) {
    timer_->stop();
    timerConnect_->stop();
    procedure_.stop();
    QDialog::hideEvent(event);
}

void TConnectingForm::TimerTimer() {
    const int next = progressBar_->value() + 1;
    progressBar_->setValue(next > kProgressMaximum ? 0 : next);
}

void TConnectingForm::TimerConnectTimer() {
    const ConnectingProcedure::Step step = procedure_.tick();
    if (step.newLabel)
        showLabel(*step.newLabel);
    if (step.closeDialog)
        done(QDialog::Accepted);
}

void TConnectingForm::showLabel(Msg label) {
    label_->setText(toQString(texts_.text(label)));
}

// Already open (a second connect while connecting): the running loop goes on in the new mode.
void TConnectingForm::runModal() {
    if (!isVisible())
        exec();
}

} // namespace konfigor
