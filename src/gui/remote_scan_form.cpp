#include "gui/remote_scan_form.h"

#include "gui/control_texts.h"
#include "gui/window_placement.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace konfigor {
namespace {

// Room for the longest line ("Ten pilot jest już zapisany w pamięci EEPROM na pozycji 704") in
// the user's font, so the window does not jump as the lines change.
constexpr int kLineWidthInAverageCharacters = 62;

} // namespace

TRemoteScanForm::TRemoteScanForm(const TextTable& texts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("TRemoteScanForm"));
    setWindowModality(Qt::WindowModal);
    labelRemote_ = new QLabel(this);
    labelRemote_->setObjectName(QStringLiteral("LabelRemote"));
    QFont bold = labelRemote_->font();
    bold.setBold(true);
    labelRemote_->setFont(bold);
    labelHint_ = new QLabel(this);
    labelHint_->setObjectName(QStringLiteral("LabelHint"));
    labelHint_->setWordWrap(true);
    buttonCancel_ = new QPushButton(this);
    buttonCancel_->setObjectName(QStringLiteral("ButtonCancel"));
    connect(buttonCancel_, &QPushButton::clicked, this, &TRemoteScanForm::reject);

    const int lineWidth = QFontMetrics(bold).averageCharWidth() * kLineWidthInAverageCharacters;
    labelRemote_->setMinimumWidth(lineWidth);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(labelRemote_);
    layout->addWidget(labelHint_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(buttonCancel_);
    buttons->addStretch();
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    keepControlTexts(*this, "TRemoteScanForm", texts);
}

void TRemoteScanForm::showLines(const QString& remoteLine, const QString& hint) {
    labelRemote_->setText(remoteLine);
    labelHint_->setText(hint);
}

void TRemoteScanForm::showOverParent() {
    if (isVisible())
        return;
    centreOverParent(*this);
    open();
}

QString TRemoteScanForm::remoteLine() const {
    return labelRemote_->text();
}

QString TRemoteScanForm::hint() const {
    return labelHint_->text();
}

void TRemoteScanForm::reject() {
    Q_EMIT cancelRequested();
}

} // namespace konfigor
