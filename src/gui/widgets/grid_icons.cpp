#include "gui/widgets/grid_icons.h"

#include "sheet/grid_cell_look.h"

#include <array>

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace konfigor {

namespace {

constexpr int kIconSize = kGridIconSize;
constexpr int kIconCount = kCopyLockIcon + 1;
constexpr std::array<int, 2> kPixelRatios{1, 2};

// One colour per channel, far enough apart to tell at a glance.
const std::array<QColor, 4>& channelColours() {
    static const std::array<QColor, 4> colours{QColor(0xd3, 0x2f, 0x2f), QColor(0x38, 0x8e, 0x3c),
                                               QColor(0x19, 0x76, 0xd2), QColor(0xf5, 0x7c, 0x00)};
    return colours;
}

void drawChannel(QPainter& painter, int channel) {
    const QColor colour = channelColours().at(static_cast<std::size_t>(channel));
    painter.setPen(QPen(colour.darker(140), 1.0));
    painter.setBrush(colour);
    painter.drawRoundedRect(QRectF(1.5, 1.5, 13.0, 13.0), 3.0, 3.0);
    QFont font;
    font.setPixelSize(11);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(0.0, 0.0, kIconSize, kIconSize), Qt::AlignCenter,
                     QString::number(channel + 1));
}

// A round key with a white mark: a remote's button (its digit) or an unknown remote ("?").
void drawKey(QPainter& painter, const QColor& colour, const QString& mark) {
    painter.setPen(QPen(colour.darker(150), 1.0));
    painter.setBrush(colour);
    painter.drawEllipse(QPointF(8.0, 8.0), 6.5, 6.5);
    QFont font;
    font.setPixelSize(10);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(0.0, 0.0, kIconSize, kIconSize), Qt::AlignCenter, mark);
}

void drawNoChannel(QPainter& painter) {
    painter.setPen(QPen(QColor(0x80, 0x80, 0x80), 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPointF(8.0, 8.0), 5.0, 5.0);
}

void drawPadlock(QPainter& painter) {
    const QColor metal(0x5f, 0x63, 0x68);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(metal, 1.75));
    QPainterPath shackle;
    shackle.moveTo(5.0, 8.0);
    shackle.lineTo(5.0, 5.5);
    shackle.arcTo(QRectF(5.0, 2.0, 6.0, 7.0), 180.0, -180.0);
    shackle.lineTo(11.0, 8.0);
    painter.drawPath(shackle);
    painter.setPen(QPen(QColor(0xb0, 0x80, 0x00), 1.0));
    painter.setBrush(QColor(0xf2, 0xc0, 0x2a));
    painter.drawRoundedRect(QRectF(2.5, 7.5, 11.0, 7.0), 1.5, 1.5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(metal);
    painter.drawEllipse(QPointF(8.0, 10.5), 1.25, 1.25);
    painter.drawRect(QRectF(7.5, 10.5, 1.0, 2.5));
}

QPixmap drawIcon(int index, int pixelRatio) {
    QPixmap pixmap(kIconSize * pixelRatio, kIconSize * pixelRatio);
    pixmap.setDevicePixelRatio(pixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    if (index == kNoChannelIcon)
        drawNoChannel(painter);
    else if (index == kUnknownRemoteIcon)
        drawKey(painter, QColor(0x9e, 0x9e, 0x9e), QStringLiteral("?"));
    else if (index >= kFirstButtonIcon && index < kUnknownRemoteIcon)
        drawKey(painter, QColor(0x45, 0x5a, 0x64), QString::number(index - kFirstButtonIcon + 1));
    else if (index == kCopyLockIcon)
        drawPadlock(painter);
    else
        drawChannel(painter, index);
    return pixmap;
}

QIcon makeIcon(int index) {
    QIcon icon;
    for (const int pixelRatio : kPixelRatios)
        icon.addPixmap(drawIcon(index, pixelRatio));
    return icon;
}

std::array<QIcon, kIconCount> makeIcons() {
    std::array<QIcon, kIconCount> icons;
    for (int index = 0; index < kIconCount; ++index)
        icons[static_cast<std::size_t>(index)] = makeIcon(index);
    return icons;
}

} // namespace

const QIcon& gridIcon(int index) {
    static const std::array<QIcon, kIconCount> icons = makeIcons();
    static const QIcon none;
    if (index < 0 || index >= kIconCount)
        return none;
    return icons[static_cast<std::size_t>(index)];
}

} // namespace konfigor
