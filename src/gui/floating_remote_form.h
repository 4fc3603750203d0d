#pragma once

#include "gui/remote_picture_image.h"
#include "remote/floating_remote.h"

#include <array>
#include <optional>

#include <QImage>
#include <QTimer>
#include <QWidget>

class QAction;
class QMenu;

namespace konfigor {

class Clock;
class Configuration;
class TextTable;
class VirtualRemote;

// The floating virtual remote: a frameless, translucent window that stays on top, drawn from
// the remote's picture. Its buttons press the virtual remote's, a press on the body drags the
// window, the right button opens the pop-up menu it shares with the tray icon. The behaviour is
// FloatingRemote's; this window forwards the mouse and runs its deadlines on one timer.
class TRemoteForm : public QWidget {
    Q_OBJECT

public:
    static constexpr std::array<int, 5> kOpacityPercents{20, 40, 60, 80, 100};

    TRemoteForm(VirtualRemote& remote, Configuration& configuration, Clock& clock,
                const TextTable& texts, const QImage& picture = remotePictureImage());
    ~TRemoteForm() override;

    // False when the picture did not load: the window then never shows.
    bool isLoaded() const { return floating_.has_value(); }
    // Only when loaded.
    FloatingRemote& floatingRemote() { return *floating_; }
    QMenu& popupMenu() { return *popupMenu_; }
    QAction* opacityItem(int percent) const;
    // The picture as the window shows it now, before the overall opacity.
    const QImage& canvas() const { return canvas_; }

    // At the stored place (else beside the main window's corner), kept on the screen, opaque.
    void showPlaced(QPoint mainWindowCorner);
    // What the clock has made due: the fade, the LED's blinking. The window's timer calls it.
    void runDueTimers();

    void setVisible(bool visible) override;

Q_SIGNALS:
    void showMainChosen();
    void closeChosen();
    // Just before the shared menu shows: opened here, or from the tray icon.
    void menuOpening(bool fromThisWindow);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenu(int storedOpacity);
    void chooseOpacity(int percent);
    void drawIfDirty();
    void compose();
    void scheduleTimer();
    void startDrag(QPointF globalPosition);

    Configuration& configuration_;
    Clock& clock_;
    QImage picture_;
    std::optional<FloatingRemote> floating_;
    QImage canvas_;
    QTimer timer_;
    QMenu* popupMenu_ = nullptr;
    bool openingMenuHere_ = false;
    // Where the window is held while the platform cannot move it itself.
    std::optional<QPoint> dragOffset_;
};

} // namespace konfigor
