#pragma once

#include <QImage>
#include <QRectF>
#include <QSize>

#include <cstdint>

class QPainter;

namespace teskrecordserver {

// The time strip: a machine-readable row of black and white blocks along the bottom of a
// picture that encodes the UTC second the picture shows, as a camera's on-screen display
// shows it as text. A test reads it back from any decoded picture of the recording server's
// media (a thumbnail, a played frame, a frame of an exported file) to prove which moment it is.
//
// Layout: the bottom sixth of the picture, two rows of 26 blocks each, block (row, column)
// covering [column / 26, (column + 1) / 26) of the width and [5/6 + row / 12,
// 5/6 + (row + 1) / 12) of the height. The four corner blocks are a fixed frame pattern
// (top-left white, top-right black, bottom-left black, bottom-right white); the other 48
// carry the 40 bits of the second (most significant first, row by row) and a CRC-8 of them
// (polynomial 0x07). Positions are fractions of the picture, so a scaled picture (a
// thumbnail) reads the same as long as a block keeps about 3 pixels a side; a cropped or
// mirrored one does not read.
//
//   QImage frame = …;                          // anything, drawn into
//   DrawTimeStrip(frame, 1774796400);           // 2026-03-29T15:00:00Z
//   int64_t second;
//   if (ReadTimeStrip(decoded, second)) …       // false: no strip, or a damaged one
struct TimeStrip
{
    static constexpr int kColumns = 26;
    static constexpr int kRows = 2;
    static constexpr int kValueBits = 40;
    static constexpr int kCheckBits = 8;
    // The seconds a strip can carry: [0, kMaxSeconds].
    static constexpr int64_t kMaxSeconds = (int64_t(1) << kValueBits) - 1;
    // The strip covers the bottom 1/kBandDivisor of the picture's height.
    static constexpr int kBandDivisor = 6;
};

// The part of a picture of `size` that the strip covers; drawings that should stay readable
// keep out of it.
QRectF TimeStripArea(const QSize &size);

// Draws the strip of `utc_seconds` over the bottom of the picture. False (and nothing drawn)
// when the second is outside [0, TimeStrip::kMaxSeconds] or the picture is too small to hold a
// strip (fewer than 2 pixels a block).
bool DrawTimeStrip(QImage &picture, int64_t utc_seconds);
// The same with a painter already active on a device of `size` (its transform is ignored).
bool DrawTimeStrip(QPainter &painter, const QSize &size, int64_t utc_seconds);

// Reads the strip of `picture`: true with `utc_seconds` set when the frame pattern and the
// check agree; false when the picture has no strip, a block is neither clearly dark nor
// clearly light (luma below 96 or above 160 of 255, averaged over the block's centre), or the
// check fails — a misread is reported, never a wrong second.
bool ReadTimeStrip(const QImage &picture, int64_t &utc_seconds);

} // namespace teskrecordserver
