#include "gui/floating_remote_form.h"

#include "config/configuration.h"
#include "gui/control_texts.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>

#include <QActionGroup>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

namespace konfigor {
namespace {

constexpr std::string_view kWindowClass = "TRemoteForm";

FloatingRemote::MouseButton buttonOf(Qt::MouseButton button) {
    switch (button) {
    case Qt::RightButton:
        return FloatingRemote::MouseButton::Right;
    case Qt::MiddleButton:
        return FloatingRemote::MouseButton::Middle;
    default:
        return FloatingRemote::MouseButton::Left;
    }
}

} // namespace

TRemoteForm::TRemoteForm(VirtualRemote& remote, Configuration& configuration, Clock& clock,
                         const TextTable& texts, const QImage& picture)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint),
      configuration_(configuration), clock_(clock), picture_(picture) {
    setObjectName(
        QString::fromLatin1(kWindowClass.data(), static_cast<qsizetype>(kWindowClass.size())));
    setAttribute(Qt::WA_TranslucentBackground);
    // A click on the remote must not take the activation from the main window: losing it ends
    // the press of the main window's virtual buttons.
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Only the main window ends the program, after its close checks; in tray mode this window
    // may close while the main window is hidden.
    setAttribute(Qt::WA_QuitOnClose, false);
    setMouseTracking(true);

    const int storedOpacity = configuration_.virtualRemoteOpacity();
    if (std::optional<RemotePicture> loaded = loadRemotePicture(picture_)) {
        floating_.emplace(remote, std::move(*loaded), storedOpacity);
        setFixedSize(floating_->picture().width(), floating_->picture().height());
        canvas_ = QImage(size(), QImage::Format_ARGB32_Premultiplied);
        compose();
        floating_->picture().clearDirty();
    }
    buildMenu(storedOpacity);
    keepControlTexts(*this, kWindowClass, texts);

    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &TRemoteForm::runDueTimers);
}

TRemoteForm::~TRemoteForm() = default;

void TRemoteForm::buildMenu(int storedOpacity) {
    popupMenu_ = new QMenu(this);
    popupMenu_->setObjectName(QStringLiteral("PopupMenu"));
    QAction* showMain = popupMenu_->addAction(QString());
    showMain->setObjectName(QStringLiteral("MenuShowMain"));
    connect(showMain, &QAction::triggered, this, &TRemoteForm::showMainChosen);

    QMenu* opacity = popupMenu_->addMenu(QString());
    opacity->setObjectName(QStringLiteral("MenuSetOpacity"));
    auto* items = new QActionGroup(opacity);
    const int checked = opacityPercentFromStored(storedOpacity);
    for (const int percent : kOpacityPercents) {
        QAction* item = opacity->addAction(QString::number(percent) + QLatin1Char('%'));
        item->setObjectName(QStringLiteral("MenuOpacity%1").arg(percent));
        item->setCheckable(true);
        item->setChecked(percent == checked);
        items->addAction(item);
        connect(item, &QAction::triggered, this, [this, percent] { chooseOpacity(percent); });
    }

    popupMenu_->addSeparator();
    QAction* close = popupMenu_->addAction(QString());
    close->setObjectName(QStringLiteral("MenuClose"));
    connect(close, &QAction::triggered, this, &TRemoteForm::closeChosen);

    // The tray icon shows the same menu, possibly without telling anyone first.
    connect(popupMenu_, &QMenu::aboutToShow, this,
            [this] { Q_EMIT menuOpening(std::exchange(openingMenuHere_, false)); });
}

QAction* TRemoteForm::opacityItem(int percent) const {
    return popupMenu_->findChild<QAction*>(QStringLiteral("MenuOpacity%1").arg(percent));
}

void TRemoteForm::chooseOpacity(int percent) {
    if (!floating_) {
        configuration_.setVirtualRemoteOpacity(percent);
        return;
    }
    floating_->chooseOpacity(configuration_, percent);
    drawIfDirty();
}

void TRemoteForm::setVisible(bool visible) {
    QWidget::setVisible(visible && isLoaded());
}

void TRemoteForm::showPlaced(QPoint mainWindowCorner) {
    if (!floating_)
        return;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize area = screen ? screen->geometry().size() : size();
    const WindowPlace place =
        floatingRemotePlace(configuration_.virtualRemoteLeft(), configuration_.virtualRemoteTop(),
                            {mainWindowCorner.x(), mainWindowCorner.y()}, area.width(),
                            area.height(), width(), height());
    move(place.left, place.top);
    floating_->shown(clock_.now());
    drawIfDirty();
    show();
    scheduleTimer();
}

void TRemoteForm::runDueTimers() {
    if (!floating_)
        return;
    floating_->advanceTo(clock_.now());
    drawIfDirty();
    scheduleTimer();
}

void TRemoteForm::scheduleTimer() {
    const std::optional<Clock::Milliseconds> due =
        floating_ && isVisible() ? floating_->nextDeadline() : std::nullopt;
    if (!due) {
        timer_.stop();
        return;
    }
    const std::int64_t wait =
        std::clamp<std::int64_t>((*due - clock_.now()).count(), 0, std::numeric_limits<int>::max());
    timer_.start(static_cast<int>(wait));
}

void TRemoteForm::drawIfDirty() {
    if (!floating_ || !floating_->picture().isDirty())
        return;
    floating_->picture().clearDirty();
    compose();
    update();
}

// Every visible element in slot order, so the body, drawn last, frames the buttons and the LED.
void TRemoteForm::compose() {
    canvas_.fill(Qt::transparent);
    QPainter painter(&canvas_);
    for (const RemoteElement& element : floating_->picture().elements()) {
        if (element.visible)
            painter.drawImage(
                QPoint(element.destinationX, element.destinationY), picture_,
                QRect(element.sourceLeft, element.sourceTop, element.width(), element.height()));
    }
}

void TRemoteForm::paintEvent(QPaintEvent*) {
    if (!floating_)
        return;
    QPainter painter(this);
    // The overall opacity goes through the painter, not setWindowOpacity(): a translucent
    // window's per-pixel alpha works under every compositor, Wayland's included, while window
    // opacity does not.
    painter.setOpacity(floating_->picture().alpha() / 255.0);
    painter.drawImage(0, 0, canvas_);
}

void TRemoteForm::mouseMoveEvent(QMouseEvent* event) {
    if (dragOffset_) {
        move(event->globalPosition().toPoint() - *dragOffset_);
        return;
    }
    if (!floating_)
        return;
    const QPoint at = event->position().toPoint();
    floating_->mouseMoved(at.x(), at.y());
    drawIfDirty();
}

void TRemoteForm::mousePressEvent(QMouseEvent* event) {
    if (!floating_)
        return;
    // A press may come without a move before it (after the menu closed, from a touch screen).
    const QPoint at = event->position().toPoint();
    floating_->mouseMoved(at.x(), at.y());
    const FloatingRemote::PressOutcome outcome =
        floating_->mousePressed(buttonOf(event->button()), clock_.now());
    drawIfDirty();
    switch (outcome) {
    case FloatingRemote::PressOutcome::OpenMenu:
        openingMenuHere_ = true;
        popupMenu_->popup(event->globalPosition().toPoint());
        openingMenuHere_ = false;
        break;
    case FloatingRemote::PressOutcome::DragWindow:
        startDrag(event->globalPosition());
        break;
    case FloatingRemote::PressOutcome::ButtonPressed:
        break;
    }
    scheduleTimer();
}

// The window system moves the window where it can (on Wayland nothing else may); where it
// refuses, the window follows the mouse itself.
void TRemoteForm::startDrag(QPointF globalPosition) {
    if (QWindow* window = windowHandle(); window && window->startSystemMove())
        return;
    dragOffset_ = globalPosition.toPoint() - pos();
}

void TRemoteForm::mouseReleaseEvent(QMouseEvent*) {
    dragOffset_.reset();
    if (!floating_)
        return;
    floating_->mouseReleased();
    drawIfDirty();
    scheduleTimer();
}

void TRemoteForm::enterEvent(QEnterEvent*) {
    if (!floating_)
        return;
    floating_->mouseEntered();
    drawIfDirty();
    scheduleTimer();
}

void TRemoteForm::leaveEvent(QEvent*) {
    if (!floating_)
        return;
    // The last move inside may not have reached the edge: no button stays lit once the mouse
    // is away.
    floating_->mouseMoved(-1, -1);
    floating_->mouseLeft(clock_.now());
    drawIfDirty();
    scheduleTimer();
}

void TRemoteForm::closeEvent(QCloseEvent* event) {
    if (isVisible())
        configuration_.setVirtualRemotePosition(x(), y());
    dragOffset_.reset();
    timer_.stop();
    if (floating_) {
        // A press on this window must not outlive it: the release would never come.
        if (floating_->picture().pressedButtonNumber() != 0)
            floating_->mouseReleased();
        floating_->mouseMoved(-1, -1);
        drawIfDirty();
    }
    QWidget::closeEvent(event);
}

} // namespace konfigor
