#pragma once

#include "remote/virtual_remote_picture.h"

#include <optional>

#include <QImage>

namespace konfigor {

inline constexpr int kRemotePictureWidth = 147;
inline constexpr int kRemotePictureHeight = 146;

// The floating remote's picture: the body of a hand-held remote with its four buttons in their
// normal, highlighted and pressed looks and its LED off and lit, each drawn inside the
// rectangle the built-in layout table gives it. The body is transparent where the buttons and
// the LED show through it.
QImage remotePictureImage();

// The layout table against a picture; nothing unless the picture has 32 bits per pixel and
// the table fits it.
std::optional<RemotePicture> loadRemotePicture(const QImage& picture);

} // namespace konfigor
