#include "gui/message_form.h"

#include "gui/qt_text.h"
#include "texts/untranslated_texts.h"

#include <algorithm>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace konfigor {
namespace {

constexpr int kMargin = 8;            // around the icon, and the icon-to-text gap
constexpr int kScreenAllowance = 200; // the text wraps this much narrower than the screen
constexpr int kMinTextWidth = 99;     // room for one button under a short text
constexpr int kButtonBottomGap = 8;
constexpr int kExtraHeight = 8;
constexpr int kMinButtonWidth = 75;

} // namespace

TMessageForm::TMessageForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("MessageForm"));
    icon_ = new QLabel(this);
    icon_->setObjectName(QStringLiteral("Image"));
    const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon_->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(iconSize));
    icon_->setFixedSize(iconSize, iconSize);
    text_ = new QLabel(this);
    text_->setObjectName(QStringLiteral("Message"));
    text_->setWordWrap(true);
    text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    okButton_ = new QPushButton(toQString(untranslated(Untranslated::WarningOkButton)), this);
    okButton_->setObjectName(QStringLiteral("OK"));
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
}

void TMessageForm::show(const std::string& text, const std::string& title) {
    // The caller's timer may ask again while the window is open; one is enough.
    if (isVisible())
        return;
    setWindowTitle(toQString(title));
    text_->setText(toQString(text));
    layOut();
    QApplication::beep();
    exec();
}

void TMessageForm::close() {
    if (isVisible())
        done(QDialog::Rejected);
}

void TMessageForm::layOut() {
    const QScreen* shownOn = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect screenArea = shownOn->geometry();
    const QRect measured = text_->fontMetrics().boundingRect(
        QRect(0, 0, screenArea.width() - kScreenAllowance, screenArea.height()), Qt::TextWordWrap,
        text_->text());
    const int textWidth = std::max(measured.width(), kMinTextWidth);
    const int textHeight = measured.height();
    const int iconSize = icon_->width();
    const int contentHeight = std::max(iconSize, textHeight);
    const int textLeft = kMargin + iconSize + kMargin;

    icon_->move(kMargin, kMargin + (contentHeight - iconSize) / 2);
    text_->setGeometry(textLeft, kMargin + (contentHeight - textHeight) / 2, textWidth, textHeight);

    const QSize button(std::max(okButton_->sizeHint().width(), kMinButtonWidth),
                       okButton_->sizeHint().height());
    const int clientWidth = textLeft + textWidth + kMargin;
    const int clientHeight = contentHeight + button.height() + 2 * kMargin + kExtraHeight;
    okButton_->setGeometry((clientWidth - button.width()) / 2,
                           clientHeight - kButtonBottomGap - button.height(), button.width(),
                           button.height());
    setFixedSize(clientWidth, clientHeight);
    QRect frame = frameGeometry();
    frame.moveCenter(screenArea.center());
    move(frame.topLeft());
}

} // namespace konfigor
