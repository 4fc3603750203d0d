#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>

namespace konfigor {

// One piece of the remote's picture: a rectangle of the picture (right and bottom exclusive)
// and where its top-left corner goes in the window.
struct RemoteElement {
    bool visible = false;
    int sourceLeft = 0;
    int sourceTop = 0;
    int sourceRight = 0;
    int sourceBottom = 0;
    int destinationX = 0;
    int destinationY = 0;

    int width() const { return sourceRight - sourceLeft; }
    int height() const { return sourceBottom - sourceTop; }
    bool operator==(const RemoteElement&) const = default;
};

// Slots 0-3 hold buttons 4, 3, 2, 1 in their normal look, 4-7 the same highlighted, 8-11
// pressed; 12 is never used; then the LED off and lit, and the body drawn over all of them.
inline constexpr std::size_t kRemoteElementCount = 16;
inline constexpr int kNoElement = -1;
inline constexpr int kLedOffSlot = 13;
inline constexpr int kLedOnSlot = 14;
inline constexpr int kBodySlot = 15;
using RemoteElements = std::array<RemoteElement, kRemoteElementCount>;

// The button (1-4) a button slot (0-11) shows.
constexpr int buttonOfSlot(int slot) {
    return 4 - slot % 4;
}

struct RemoteLayout {
    RemoteElements elements{};
    // The window: the farthest right and bottom any element reaches.
    int width = 0;
    int height = 0;
};

// The layout table stored with the picture, byte for byte.
std::string_view builtInPictureTable();

// Records of a tag and six numbers (source left, top, right, bottom, destination x, y), one
// space between tokens, up to a token that starts with "*" or the end of the text. Nothing
// when a record is incomplete, a number is not a plain decimal, a tag is unknown or a
// rectangle is upside down.
std::optional<RemoteLayout> parsePictureTable(std::string_view table);

// The picture's alpha (0-255) at a point inside it.
using PictureAlpha = std::function<int(int x, int y)>;

// Whether the window point (x, y) lands on an opaque enough pixel of the element.
bool hitsElement(const RemoteElement& element, int x, int y, const PictureAlpha& alpha);

// The floating remote's picture as plain state: which elements show, the hover and press looks,
// the LED and the overall opacity. The window draws elements() in slot order whenever
// isDirty(), then clears the mark.
class RemotePicture {
public:
    // Nothing when the table does not parse or reaches outside the picture.
    static std::optional<RemotePicture> load(std::string_view table, int pictureWidth,
                                             int pictureHeight, PictureAlpha alpha);

    int width() const { return layout_.width; }
    int height() const { return layout_.height; }
    const RemoteElements& elements() const { return layout_.elements; }
    int hoveredElement() const { return hovered_; }
    int pressedElement() const { return pressed_; }

    void mouseMove(int x, int y);
    void mouseDown();
    void mouseUp();
    // 0 when no button is pressed, else 1-4.
    int pressedButtonNumber() const;

    // Off when `off`, else the LED toggles.
    void setLed(bool off);
    bool isLedOn() const { return ledOn_; }

    // The overall opacity the next drawing uses.
    void setAlpha(int alpha);
    int alpha() const { return alpha_; }

    bool isDirty() const { return dirty_; }
    void clearDirty() { dirty_ = false; }

private:
    RemotePicture(RemoteLayout layout, PictureAlpha alpha);

    bool hits(int slot) const;
    void swapLook(int from, int to);
    void highlight();
    void unhighlight();

    RemoteLayout layout_;
    PictureAlpha pictureAlpha_;
    int mouseX_ = 0;
    int mouseY_ = 0;
    int hovered_ = kNoElement;
    int pressed_ = kNoElement;
    bool dirty_ = false;
    bool ledOn_ = false;
    int alpha_ = 255;
};

} // namespace konfigor
