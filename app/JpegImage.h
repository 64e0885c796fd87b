// JPEG decoding through libjpeg directly (the main window's picture).
#pragma once

#include <QByteArray>
#include <QImage>

// Decodes a baseline or progressive JPEG into an RGB image. A corrupt or
// truncated stream gives a null image; nothing is drawn from partial data.
QImage DecodeJpeg(const QByteArray& jpeg);
