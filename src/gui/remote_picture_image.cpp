#include "gui/remote_picture_image.h"

#include <algorithm>
#include <cstddef>

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace konfigor {
namespace {

enum class ButtonLook { Normal, Highlighted, Pressed };

constexpr int kButtonCount = 4;
// The body covers this much of a button's edge, so no gap shows between them.
constexpr qreal kOpeningInset = 1.5;
constexpr qreal kLedRadius = 3.6;
constexpr qreal kLedOpeningRadius = 3;
constexpr qreal kBodyRadius = 22;
constexpr qreal kKeyRingRadius = 5;

const RemoteElement& elementAt(const RemoteLayout& layout, int slot) {
    return layout.elements.at(static_cast<std::size_t>(slot));
}

int slotOf(int button, ButtonLook look) {
    switch (look) {
    case ButtonLook::Normal:
        return 4 - button;
    case ButtonLook::Highlighted:
        return 8 - button;
    case ButtonLook::Pressed:
        return 12 - button;
    }
    return 4 - button;
}

QRect sourceRect(const RemoteElement& element) {
    return {element.sourceLeft, element.sourceTop, element.width(), element.height()};
}

QRect windowRect(const RemoteElement& element) {
    return {element.destinationX, element.destinationY, element.width(), element.height()};
}

// Paints in window coordinates into the element's own rectangle of the picture, and nowhere
// else.
class ElementPainter {
public:
    ElementPainter(QPainter& painter, const RemoteElement& element) : painter_(painter) {
        painter_.save();
        painter_.setClipRect(sourceRect(element));
        painter_.translate(element.sourceLeft - element.destinationX,
                           element.sourceTop - element.destinationY);
    }
    ~ElementPainter() { painter_.restore(); }
    ElementPainter(const ElementPainter&) = delete;
    ElementPainter& operator=(const ElementPainter&) = delete;

private:
    QPainter& painter_;
};

struct Disc {
    QPointF centre;
    qreal radius = 0;

    Disc inset(qreal by) const { return {centre, radius - by}; }
    Disc moved(QPointF by) const { return {centre + by, radius}; }
    QRectF bounds() const { return {centre - QPointF(radius, radius), QSizeF(2, 2) * radius}; }
};

// Round buttons: the rectangles of neighbouring buttons overlap at their corners, their
// circles do not. Every look of a button shares its face, in window coordinates, so that the
// looks swap without a jump; the body's opening lies inside it.
Disc buttonFace(const RemoteLayout& layout, int button) {
    const QRectF rect(windowRect(elementAt(layout, slotOf(button, ButtonLook::Normal))));
    return {rect.center(), std::min(rect.width(), rect.height()) / 2 - 1};
}

Disc buttonOpening(const RemoteLayout& layout, int button) {
    return buttonFace(layout, button).inset(kOpeningInset);
}

// Where the LED rests, unlit.
QPointF ledCentre(const RemoteLayout& layout) {
    return QRectF(windowRect(elementAt(layout, kLedOffSlot))).center();
}

QLinearGradient vertical(const QRectF& rect, const QColor& top, const QColor& bottom) {
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    return gradient;
}

void drawButton(QPainter& painter, const RemoteLayout& layout, int button, ButtonLook look) {
    const ElementPainter place(painter, elementAt(layout, slotOf(button, look)));
    Disc face = buttonFace(layout, button);
    QColor digit(0x30, 0x35, 0x3d);
    switch (look) {
    case ButtonLook::Normal:
        painter.setBrush(
            vertical(face.bounds(), QColor(0xf4, 0xf5, 0xf7), QColor(0xc4, 0xc9, 0xd1)));
        break;
    case ButtonLook::Highlighted:
        painter.setBrush(
            vertical(face.bounds(), QColor(0xff, 0xff, 0xff), QColor(0xd3, 0xe2, 0xf6)));
        digit = QColor(0x1d, 0x4f, 0x91);
        break;
    case ButtonLook::Pressed:
        // Pushed in: the face sits lower and its shadow falls from the top edge.
        face = face.moved({0, 1});
        painter.setBrush(
            vertical(face.bounds(), QColor(0x9d, 0xa4, 0xae), QColor(0xd0, 0xd4, 0xda)));
        digit = QColor(0x1b, 0x1e, 0x23);
        break;
    }
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(face.bounds());
    if (look == ButtonLook::Highlighted) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(0x4d, 0x8f, 0xe0), 1.2));
        painter.drawEllipse(buttonOpening(layout, button).inset(0.6).bounds());
    }
    QFont font = painter.font();
    font.setPixelSize(11);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(digit);
    painter.drawText(face.bounds(), Qt::AlignCenter, QString::number(button));
}

void drawLed(QPainter& painter, const RemoteLayout& layout, bool lit) {
    const ElementPainter place(painter, elementAt(layout, lit ? kLedOnSlot : kLedOffSlot));
    const QPointF centre = ledCentre(layout);
    QRadialGradient dome(centre + QPointF(-0.8, -0.8), kLedRadius + 0.8);
    if (lit) {
        dome.setColorAt(0, QColor(0xff, 0xf0, 0xe8));
        dome.setColorAt(0.35, QColor(0xff, 0x45, 0x30));
        dome.setColorAt(1, QColor(0xc0, 0x12, 0x0a));
    } else {
        dome.setColorAt(0, QColor(0x9a, 0x35, 0x30));
        dome.setColorAt(0.5, QColor(0x55, 0x12, 0x0f));
        dome.setColorAt(1, QColor(0x2a, 0x07, 0x06));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(dome);
    painter.drawEllipse(centre, kLedRadius, kLedRadius);
    painter.setBrush(QColor(255, 255, 255, lit ? 200 : 110));
    painter.drawEllipse(centre + QPointF(-1, -1.2), 0.9, 0.9);
}

// A dark lip around an opening, on the body's side of its edge.
QPainterPath lipAround(const QPainterPath& opening, qreal width) {
    QPainterPathStroker stroker;
    stroker.setWidth(2 * width);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(opening).subtracted(opening);
}

void drawBody(QPainter& painter, const RemoteLayout& layout) {
    const RemoteElement& body = elementAt(layout, kBodySlot);
    const ElementPainter place(painter, body);
    const QRectF outline = QRectF(windowRect(body)).adjusted(2.5, 1.5, -2.5, -1.5);
    const QPointF keyRing(outline.center().x(), outline.bottom() - 14);

    QPainterPath openings;
    QRectF buttons;
    for (int button = 1; button <= kButtonCount; ++button) {
        openings.addEllipse(buttonOpening(layout, button).bounds());
        buttons |= buttonFace(layout, button).bounds();
    }
    openings.addEllipse(ledCentre(layout), kLedOpeningRadius, kLedOpeningRadius);
    QPainterPath keyRingHole;
    keyRingHole.addEllipse(keyRing, kKeyRingRadius, kKeyRingRadius);

    QPainterPath shape;
    shape.addRoundedRect(outline, kBodyRadius, kBodyRadius);
    shape = shape.subtracted(openings).subtracted(keyRingHole);

    QLinearGradient shell(outline.topLeft(), outline.bottomLeft());
    shell.setColorAt(0, QColor(0x58, 0x5e, 0x68));
    shell.setColorAt(0.45, QColor(0x30, 0x34, 0x3b));
    shell.setColorAt(1, QColor(0x1a, 0x1c, 0x20));
    painter.setPen(Qt::NoPen);
    painter.setBrush(shell);
    painter.drawPath(shape);

    // The buttons sit in a shallow round dish.
    QPainterPath well;
    const qreal wellRadius = std::max(buttons.width(), buttons.height()) / 2 + 3;
    well.addEllipse(buttons.center(), wellRadius, wellRadius);
    painter.setBrush(vertical(buttons, QColor(0, 0, 0, 70), QColor(0, 0, 0, 25)));
    painter.drawPath(well.intersected(shape));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 28), 1));
    painter.drawPath(well.translated(0, 0.8).subtracted(well).intersected(shape));

    // A sheen over the upper part, as light falls on a rounded case.
    QPainterPath sheen;
    sheen.addEllipse(QPointF(outline.center().x() - 6, outline.top() + 6), outline.width() * 0.62,
                     34);
    painter.setPen(Qt::NoPen);
    painter.setBrush(vertical(QRectF(outline.topLeft(), QSizeF(outline.width(), 40)),
                              QColor(255, 255, 255, 46), QColor(255, 255, 255, 0)));
    painter.drawPath(sheen.intersected(shape));

    painter.setBrush(QColor(0x0c, 0x0d, 0x0f, 210));
    painter.drawPath(lipAround(openings, 1.3).intersected(shape));

    // Grip ridges between the buttons and the key ring.
    const qreal ridgesTop = buttons.bottom() + 11;
    for (int ridge = 0; ridge < 3; ++ridge) {
        const qreal y = ridgesTop + ridge * 4;
        const QRectF groove(outline.center().x() - 11, y, 22, 1.2);
        painter.setBrush(QColor(0, 0, 0, 110));
        painter.drawRoundedRect(groove, 0.6, 0.6);
        painter.setBrush(QColor(255, 255, 255, 30));
        painter.drawRoundedRect(groove.translated(0, 1.2), 0.6, 0.6);
    }

    // A metal eyelet lines the key ring's hole.
    QRadialGradient eyelet(keyRing + QPointF(-1.5, -1.5), kKeyRingRadius + 3);
    eyelet.setColorAt(0, QColor(0xe8, 0xea, 0xee));
    eyelet.setColorAt(1, QColor(0x7a, 0x80, 0x8a));
    painter.setBrush(eyelet);
    painter.drawPath(lipAround(keyRingHole, 1.4));

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0, 0, 0, 180), 1));
    painter.drawRoundedRect(outline, kBodyRadius, kBodyRadius);
    painter.setPen(QPen(QColor(255, 255, 255, 38), 1));
    painter.drawRoundedRect(outline.adjusted(1, 1, -1, -1), kBodyRadius - 1, kBodyRadius - 1);
}

} // namespace

QImage remotePictureImage() {
    QImage image(kRemotePictureWidth, kRemotePictureHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    // The built-in table always parses; the layout comes from it so the two cannot disagree.
    const std::optional<RemoteLayout> layout = parsePictureTable(builtInPictureTable());
    if (!layout)
        return image;
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    for (int button = 1; button <= kButtonCount; ++button) {
        for (const ButtonLook look :
             {ButtonLook::Normal, ButtonLook::Highlighted, ButtonLook::Pressed})
            drawButton(painter, *layout, button, look);
    }
    drawLed(painter, *layout, false);
    drawLed(painter, *layout, true);
    drawBody(painter, *layout);
    return image;
}

std::optional<RemotePicture> loadRemotePicture(const QImage& picture) {
    if (picture.isNull() || picture.depth() != 32)
        return std::nullopt;
    return RemotePicture::load(
        builtInPictureTable(), picture.width(), picture.height(),
        [picture](int x, int y) { return picture.valid(x, y) ? qAlpha(picture.pixel(x, y)) : 0; });
}

} // namespace konfigor
