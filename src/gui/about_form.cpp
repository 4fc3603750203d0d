#include "gui/about_form.h"

#include "gui/control_texts.h"
#include "gui/qt_text.h"
#include "texts/message_format.h"
#include "texts/untranslated_texts.h"

#include <konfigor/version.h>

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace konfigor {
namespace {

constexpr int kOffsetFromMainWindow = 100;

} // namespace

QString programTitleWithVersion() {
    const std::optional<std::string> version =
        formatMessage(untranslated(Untranslated::AboutVersion),
                      {kVersionMajor, kVersionMinor, kVersionPatch, kVersionBuild});
    return toQString(untranslated(Untranslated::ProgramTitle)) + toQString(version.value_or(""));
}

TAboutForm::TAboutForm(const TextTable& texts, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutForm"));

    auto* title = new QLabel(programTitleWithVersion(), this);
    title->setObjectName(QStringLiteral("LabelTitle"));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    auto* receivers = new QLabel(this);
    receivers->setObjectName(QStringLiteral("LabelReceivers"));
    receivers->setWordWrap(true);

    auto* buttonOk = new QPushButton(toQString(untranslated(Untranslated::WarningOkButton)), this);
    buttonOk->setObjectName(QStringLiteral("ButtonOk"));
    buttonOk->setDefault(true);
    connect(buttonOk, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(title);
    layout->addWidget(receivers);
    layout->addWidget(buttonOk, 0, Qt::AlignHCenter);
    keepControlTexts(*this, "TAboutForm", texts);
}

void TAboutForm::showEvent(QShowEvent* event) {
    if (QWidget* owner = parentWidget())
        move(owner->window()->pos() + QPoint(kOffsetFromMainWindow, kOffsetFromMainWindow));
    QDialog::showEvent(event);
}

} // namespace konfigor
