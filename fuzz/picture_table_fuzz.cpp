// The floating remote's layout table comes with the program, but a damaged resource must be
// refused, never read past: whatever parses gives a window that holds every element, and the
// hit test stays inside the rectangles it was given.
#include "remote/virtual_remote_picture.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "picture_table_fuzz: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view table(reinterpret_cast<const char*>(data), size);
    const auto layout = konfigor::parsePictureTable(table);
    if (!layout)
        return 0;
    if (layout->width <= 0 || layout->height <= 0)
        fail("a window without size");
    for (const konfigor::RemoteElement& element : layout->elements) {
        if (element.sourceLeft < 0 || element.sourceTop < 0 ||
            element.sourceRight < element.sourceLeft || element.sourceBottom < element.sourceTop)
            fail("a rectangle upside down or before the picture");
        if (element.destinationX + element.width() > layout->width ||
            element.destinationY + element.height() > layout->height)
            fail("an element outside the window");
    }
    const auto alphaInside = [&](int x, int y) {
        for (const konfigor::RemoteElement& element : layout->elements) {
            if (x >= element.sourceLeft && x < element.sourceRight && y >= element.sourceTop &&
                y < element.sourceBottom)
                return 255;
        }
        fail("the hit test read the picture outside every rectangle");
    };
    const auto picture = konfigor::RemotePicture::load(table, 100'000, 100'000, alphaInside);
    if (!picture)
        fail("a table that parses does not load into a picture large enough");
    auto moving = *picture;
    for (int y = -1; y <= layout->height && y < 64; y += 3) {
        for (int x = -1; x <= layout->width && x < 64; x += 3)
            moving.mouseMove(x, y);
    }
    moving.mouseDown();
    const int button = moving.pressedButtonNumber();
    if (button < 0 || button > 4)
        fail("a pressed button that is no button");
    moving.mouseUp();
    return 0;
}
