#include "remote/virtual_remote_picture.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <utility>

namespace konfigor {
namespace {

// As it was stored: the loader cut it at its last byte, the line feed.
constexpr std::string_view kPictureTable =
    "bd4 78 0 99 21 28 68 bd3 78 22 99 43 28 37 bd2 78 44 99 72 46 49 bd1 78 73 99 101 12 49 "
    "bo4 100 0 122 21 27 68 bo3 100 22 122 43 27 37 bo2 100 44 122 72 46 49 "
    "bo1 100 73 122 101 12 49 bn4 123 0 145 21 27 68 bn3 123 22 145 43 27 37 "
    "bn2 123 44 145 72 46 49 bn1 123 73 145 101 12 49 ln 78 102 114 109 20 26 "
    "lf 78 110 114 117 19 26 c 0 0 77 146 0 0 *\r\n";

constexpr int kOpaqueFrom = 128;
// Far beyond any picture, small enough that sums of a few never overflow.
constexpr int kLargestNumber = 99'999;

// Tokens one at a time; a run of spaces counts as one, as the stored table's loader read it.
class Tokens {
public:
    explicit Tokens(std::string_view text) : text_(text.substr(0, text.find('\0'))) {}

    std::optional<std::string_view> next() {
        while (pos_ < text_.size() && text_[pos_] == ' ')
            ++pos_;
        if (pos_ >= text_.size())
            return std::nullopt;
        const std::size_t end = std::min(text_.find(' ', pos_), text_.size());
        const std::string_view token = text_.substr(pos_, end - pos_);
        pos_ = end;
        return token;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

std::optional<int> number(std::optional<std::string_view> token) {
    if (!token || token->empty() || token->size() > 5)
        return std::nullopt;
    int value = 0;
    const char* end = token->data() + token->size();
    const auto [stop, error] = std::from_chars(token->data(), end, value);
    if (error != std::errc{} || stop != end || value < 0 || value > kLargestNumber)
        return std::nullopt;
    return value;
}

struct SlotOfTag {
    int slot = kNoElement;
    bool visible = false;
};

std::optional<SlotOfTag> slotOfTag(std::string_view tag) {
    switch (tag[0]) {
    case 'b': {
        if (tag.size() < 3 || tag[2] < '1' || tag[2] > '4')
            return std::nullopt;
        const int button = tag[2] - '0';
        if (tag[1] == 'n')
            return SlotOfTag{4 - button, true};
        if (tag[1] == 'o')
            return SlotOfTag{8 - button, false};
        if (tag[1] == 'd')
            return SlotOfTag{12 - button, false};
        return std::nullopt;
    }
    case 'l':
        if (tag.size() >= 2 && tag[1] == 'n')
            return SlotOfTag{kLedOffSlot, true};
        return SlotOfTag{kLedOnSlot, false};
    case 'c':
        return SlotOfTag{kBodySlot, true};
    default:
        return std::nullopt;
    }
}

} // namespace

std::string_view builtInPictureTable() {
    return kPictureTable;
}

std::optional<RemoteLayout> parsePictureTable(std::string_view table) {
    RemoteLayout layout;
    Tokens tokens(table);
    while (const auto tag = tokens.next()) {
        if (tag->front() == '*')
            break;
        const auto slot = slotOfTag(*tag);
        if (!slot)
            return std::nullopt;
        std::array<int, 6> values{};
        for (int& value : values) {
            const auto read = number(tokens.next());
            if (!read)
                return std::nullopt;
            value = *read;
        }
        const auto [left, top, right, bottom, x, y] = values;
        if (right < left || bottom < top)
            return std::nullopt;
        layout.elements[static_cast<std::size_t>(slot->slot)] = {
            .visible = slot->visible,
            .sourceLeft = left,
            .sourceTop = top,
            .sourceRight = right,
            .sourceBottom = bottom,
            .destinationX = x,
            .destinationY = y,
        };
        layout.width = std::max(layout.width, x + right - left);
        layout.height = std::max(layout.height, y + bottom - top);
    }
    if (layout.width == 0 || layout.height == 0)
        return std::nullopt;
    return layout;
}

bool hitsElement(const RemoteElement& element, int x, int y, const PictureAlpha& alpha) {
    // Wide arithmetic: the mouse may report any point.
    const long long sourceX = static_cast<long long>(x) + element.sourceLeft - element.destinationX;
    const long long sourceY = static_cast<long long>(y) + element.sourceTop - element.destinationY;
    if (sourceX < element.sourceLeft || sourceX >= element.sourceRight ||
        sourceY < element.sourceTop || sourceY >= element.sourceBottom)
        return false;
    return alpha(static_cast<int>(sourceX), static_cast<int>(sourceY)) >= kOpaqueFrom;
}

std::optional<RemotePicture> RemotePicture::load(std::string_view table, int pictureWidth,
                                                 int pictureHeight, PictureAlpha alpha) {
    auto layout = parsePictureTable(table);
    if (!layout || !alpha)
        return std::nullopt;
    // Drawing and the hit test read the picture only inside the rectangles.
    for (const RemoteElement& element : layout->elements) {
        if (element.sourceRight > pictureWidth || element.sourceBottom > pictureHeight)
            return std::nullopt;
    }
    return RemotePicture(std::move(*layout), std::move(alpha));
}

RemotePicture::RemotePicture(RemoteLayout layout, PictureAlpha alpha)
    : layout_(std::move(layout)), pictureAlpha_(std::move(alpha)) {}

bool RemotePicture::hits(int slot) const {
    return hitsElement(layout_.elements[static_cast<std::size_t>(slot)], mouseX_, mouseY_,
                       pictureAlpha_);
}

void RemotePicture::swapLook(int from, int to) {
    layout_.elements[static_cast<std::size_t>(from)].visible = false;
    layout_.elements[static_cast<std::size_t>(to)].visible = true;
    hovered_ = to;
    dirty_ = true;
}

// The walk goes on after a new highlight: the highlighted look, shown at the same place, is
// then reached and ends it.
void RemotePicture::mouseMove(int x, int y) {
    mouseX_ = x;
    mouseY_ = y;
    for (int slot = 0; slot < static_cast<int>(kRemoteElementCount); ++slot) {
        if (!layout_.elements[static_cast<std::size_t>(slot)].visible || !hits(slot))
            continue;
        if (slot == hovered_)
            return;
        if (hovered_ != kNoElement)
            unhighlight();
        hovered_ = slot;
        highlight();
    }
    if (hovered_ != kNoElement)
        unhighlight();
    hovered_ = kNoElement;
}

void RemotePicture::highlight() {
    if (hovered_ < 0 || hovered_ > 3)
        return;
    if (pressed_ == kNoElement)
        swapLook(hovered_, hovered_ + 4);
    else if (hovered_ == pressed_ % 4)
        swapLook(hovered_, hovered_ + 8);
}

void RemotePicture::unhighlight() {
    if (hovered_ >= 4 && hovered_ <= 7)
        swapLook(hovered_, hovered_ - 4);
    else if (hovered_ >= 8 && hovered_ <= 11)
        swapLook(hovered_, hovered_ - 8);
}

void RemotePicture::mouseDown() {
    if (hovered_ >= 4 && hovered_ <= 7)
        swapLook(hovered_, hovered_ + 4);
    pressed_ = hovered_;
}

void RemotePicture::mouseUp() {
    if (hovered_ >= 8 && hovered_ <= 11)
        swapLook(hovered_, hovered_ - 4);
    pressed_ = kNoElement;
}

int RemotePicture::pressedButtonNumber() const {
    if (pressed_ < 0 || pressed_ > 11)
        return 0;
    return buttonOfSlot(pressed_);
}

void RemotePicture::setLed(bool off) {
    ledOn_ = off ? false : !ledOn_;
    layout_.elements[kLedOffSlot].visible = !ledOn_;
    layout_.elements[kLedOnSlot].visible = ledOn_;
    dirty_ = true;
}

void RemotePicture::setAlpha(int alpha) {
    const int clamped = std::clamp(alpha, 0, 255);
    if (clamped != alpha_)
        dirty_ = true;
    alpha_ = clamped;
}

} // namespace konfigor
