// PNG images of the bitmaps the drawing layer stores: every BIFF8 reader
// shows a PNG blip, while some take a DIB blip's pixels from the wrong offset.
// The image data are deflate blocks stored without compression, so no
// compression library is needed and the bytes are those of the bitmap.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tabulon {

// The PNG file (8-bit RGB, no interlace) of a device-independent bitmap with
// the 40-byte information header, 24 bits per pixel, uncompressed, its rows
// bottom-up and padded to 4 bytes. Pixels the bitmap's bytes do not reach are
// black.
std::string MakePng(const std::vector<uint8_t>& dib);

}  // namespace tabulon
