#include "gui/widgets/edit_icons.h"

#include <array>

#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>

namespace konfigor {
namespace {

// Drawn on a 16-unit square and scaled, so menus and toolbars get sharp pixmaps at any size.
constexpr double kUnits = 16.0;
constexpr std::array<int, 4> kSizes{16, 24, 32, 48};

const QColor kInk(0x3c, 0x40, 0x43);
const QColor kPaper(0xfa, 0xfa, 0xfa);

void drawScissors(QPainter& painter) {
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0x90, 0x98, 0xa0), 1.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(6.0, 10.0), QPointF(11.5, 1.5));
    painter.drawLine(QPointF(10.0, 10.0), QPointF(4.5, 1.5));
    painter.setPen(QPen(QColor(0xc6, 0x28, 0x28), 1.5));
    painter.drawEllipse(QPointF(4.5, 12.5), 2.25, 2.25);
    painter.drawEllipse(QPointF(11.5, 12.5), 2.25, 2.25);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kInk);
    painter.drawEllipse(QPointF(8.0, 6.9), 0.9, 0.9);
}

void drawSheet(QPainter& painter, const QRectF& sheet) {
    painter.setPen(QPen(kInk, 1.0));
    painter.setBrush(kPaper);
    painter.drawRect(sheet);
    painter.setPen(QPen(QColor(0x90, 0x98, 0xa0), 1.0));
    for (double y = sheet.top() + 2.5; y < sheet.bottom() - 1.0; y += 2.0)
        painter.drawLine(QPointF(sheet.left() + 2.0, y), QPointF(sheet.right() - 2.0, y));
}

void drawTwoSheets(QPainter& painter) {
    drawSheet(painter, QRectF(1.5, 1.5, 8.0, 10.0));
    drawSheet(painter, QRectF(6.5, 4.5, 8.0, 10.0));
}

void drawClipboard(QPainter& painter) {
    painter.setPen(QPen(QColor(0x6d, 0x4c, 0x41), 1.0));
    painter.setBrush(QColor(0xa1, 0x88, 0x7f));
    painter.drawRoundedRect(QRectF(2.5, 2.5, 11.0, 13.0), 1.5, 1.5);
    drawSheet(painter, QRectF(4.5, 5.5, 7.0, 8.0));
    painter.setPen(QPen(kInk, 1.0));
    painter.setBrush(QColor(0xb0, 0xb6, 0xbc));
    painter.drawRoundedRect(QRectF(5.5, 1.0, 5.0, 3.0), 1.0, 1.0);
}

QPixmap drawn(EditIcon command, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / kUnits, size / kUnits);
    if (command == EditIcon::Cut)
        drawScissors(painter);
    else if (command == EditIcon::Copy)
        drawTwoSheets(painter);
    else
        drawClipboard(painter);
    return pixmap;
}

QIcon ownIcon(EditIcon command) {
    QIcon icon;
    for (const int size : kSizes)
        icon.addPixmap(drawn(command, size));
    return icon;
}

QIcon fallback(EditIcon command) {
    switch (command) {
    case EditIcon::Undo:
        return QApplication::style()->standardIcon(QStyle::SP_ArrowBack);
    case EditIcon::Redo:
        return QApplication::style()->standardIcon(QStyle::SP_ArrowForward);
    case EditIcon::Cut:
    case EditIcon::Copy:
    case EditIcon::Paste:
        break;
    }
    return ownIcon(command);
}

QString themeName(EditIcon command) {
    switch (command) {
    case EditIcon::Cut:
        return QStringLiteral("edit-cut");
    case EditIcon::Copy:
        return QStringLiteral("edit-copy");
    case EditIcon::Paste:
        return QStringLiteral("edit-paste");
    case EditIcon::Undo:
        return QStringLiteral("edit-undo");
    case EditIcon::Redo:
        break;
    }
    return QStringLiteral("edit-redo");
}

} // namespace

QIcon editIcon(EditIcon command) {
    return QIcon::fromTheme(themeName(command), fallback(command));
}

} // namespace konfigor
