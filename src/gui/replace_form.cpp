#include "gui/replace_form.h"

#include "gui/control_texts.h"
#include "gui/window_placement.h"

#include <algorithm>

#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace konfigor {
namespace {

constexpr int kIconLeft = 12;
constexpr int kLabelTop = 16;

QPushButton* button(QWidget* parent, const char* objectName) {
    auto* pushButton = new QPushButton(parent);
    pushButton->setObjectName(QString::fromLatin1(objectName));
    return pushButton;
}

} // namespace

TReplaceForm::TReplaceForm(const TextTable& texts, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ReplaceForm"));
    setModal(true);

    icon_ = new QLabel(this);
    icon_->setObjectName(QStringLiteral("Image"));
    const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon_->setPixmap(style()
                         ->standardIcon(QStyle::SP_MessageBoxQuestion, nullptr, this)
                         .pixmap(iconSize, iconSize));
    label_ = new QLabel(this);
    label_->setObjectName(QStringLiteral("Label"));
    label_->setTextFormat(Qt::PlainText);

    buttonYes_ = button(this, "ButtonYes");
    buttonYesAll_ = button(this, "ButtonYesAll");
    buttonNo_ = button(this, "ButtonNo");
    buttonNoAll_ = button(this, "ButtonNoAll");
    connect(buttonYes_, &QPushButton::clicked, this, [this] { answer(ReplaceAnswer::Yes); });
    connect(buttonYesAll_, &QPushButton::clicked, this,
            [this] { answer(ReplaceAnswer::YesToAll); });
    connect(buttonNo_, &QPushButton::clicked, this, [this] { answer(ReplaceAnswer::No); });
    connect(buttonNoAll_, &QPushButton::clicked, this, [this] { answer(ReplaceAnswer::NoToAll); });

    keepControlTexts(*this, "TReplaceForm", texts);
}

ReplaceAnswer TReplaceForm::ask(const QString& question) {
    prepare(question);
    centreOverParent(*this);
    answer_ = ReplaceAnswer::None;
    exec();
    return answer_;
}

void TReplaceForm::prepare(const QString& question) {
    label_->setText(question);
    layOut();
    buttonNo_->setFocus();
    buttonNo_->setDefault(true);
}

// The window follows the text: as wide as the text and its margins, but never narrower than
// the minimum, nor than the four buttons need with the font in use.
void TReplaceForm::layOut() {
    label_->adjustSize();
    const QSize text = label_->size();
    const auto hint = [](const QPushButton* button) { return button->sizeHint(); };
    const int buttonHeight = std::max({hint(buttonYes_).height(), hint(buttonYesAll_).height(),
                                       hint(buttonNo_).height(), hint(buttonNoAll_).height()});
    const int leftPair = hint(buttonYes_).width() + kButtonGap + hint(buttonYesAll_).width();
    const int rightPair = hint(buttonNo_).width() + kButtonGap + hint(buttonNoAll_).width();
    const int width =
        std::max({text.width() + kExtraWidth, kMinimumWidth,
                  kFirstButtonLeft + leftPair + 2 * kButtonGap + rightPair + kLastButtonRight});
    const int height = text.height() + kExtraHeight;
    setFixedSize(width, height);

    icon_->adjustSize();
    icon_->move(kIconLeft, kLabelTop);
    label_->move(kFirstButtonLeft, kLabelTop);
    const int top = height - kButtonsAboveBottom;
    buttonYes_->setGeometry(kFirstButtonLeft, top, hint(buttonYes_).width(), buttonHeight);
    buttonYesAll_->setGeometry(buttonYes_->geometry().right() + 1 + kButtonGap, top,
                               hint(buttonYesAll_).width(), buttonHeight);
    buttonNo_->setGeometry(width - kLastButtonRight - hint(buttonNo_).width(), top,
                           hint(buttonNo_).width(), buttonHeight);
    buttonNoAll_->setGeometry(buttonNo_->x() - kButtonGap - hint(buttonNoAll_).width(), top,
                              hint(buttonNoAll_).width(), buttonHeight);
}

void TReplaceForm::answer(ReplaceAnswer given) {
    answer_ = given;
    accept();
}

} // namespace konfigor
