#include "TimeStrip.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>

namespace teskrecordserver {

namespace {

constexpr int kCells = TimeStrip::kColumns * TimeStrip::kRows;
static_assert(kCells == 4 + TimeStrip::kValueBits + TimeStrip::kCheckBits,
              "the blocks are the frame pattern, the value and its check");

// The frame pattern's blocks (row-major index) and colours.
constexpr int kTopLeft = 0;
constexpr int kTopRight = TimeStrip::kColumns - 1;
constexpr int kBottomLeft = TimeStrip::kColumns;
constexpr int kBottomRight = kCells - 1;

bool IsFrameCell(int cell)
{
    return cell == kTopLeft || cell == kTopRight || cell == kBottomLeft || cell == kBottomRight;
}

bool FrameBit(int cell)
{
    return cell == kTopLeft || cell == kBottomRight;
}

// CRC-8, polynomial x^8 + x^2 + x + 1, over the value's five bytes, most significant first.
uint8_t Crc8(uint64_t value)
{
    uint8_t crc = 0;
    for (int byte = TimeStrip::kValueBits / 8 - 1; byte >= 0; --byte) {
        crc ^= static_cast<uint8_t>(value >> (8 * byte));
        for (int bit = 0; bit < 8; ++bit)
            crc = static_cast<uint8_t>(crc & 0x80 ? (crc << 1) ^ 0x07 : crc << 1);
    }
    return crc;
}

// The bit of every block, row by row.
std::array<bool, kCells> Encode(uint64_t value)
{
    std::array<bool, kCells> bits{};
    const uint64_t word = (value << TimeStrip::kCheckBits) | Crc8(value);
    int next = TimeStrip::kValueBits + TimeStrip::kCheckBits - 1;
    for (int cell = 0; cell < kCells; ++cell)
        bits[cell] = IsFrameCell(cell) ? FrameBit(cell) : ((word >> next--) & 1) != 0;
    return bits;
}

QRectF CellRect(const QSize &size, int cell)
{
    const QRectF band = TimeStripArea(size);
    const double width = band.width() / TimeStrip::kColumns;
    const double height = band.height() / TimeStrip::kRows;
    const int row = cell / TimeStrip::kColumns;
    const int column = cell % TimeStrip::kColumns;
    return QRectF(band.left() + column * width, band.top() + row * height, width, height);
}

bool Fits(const QSize &size)
{
    return size.width() >= 2 * TimeStrip::kColumns &&
           size.height() >= 2 * TimeStrip::kRows * TimeStrip::kBandDivisor;
}

// Mean luma (0-255) of the middle half of a block in each direction, at least one pixel.
int CentreLuma(const QImage &picture, const QRectF &rect)
{
    const QPointF centre = rect.center();
    const int half_w = std::max(0, static_cast<int>(rect.width() / 4));
    const int half_h = std::max(0, static_cast<int>(rect.height() / 4));
    const int cx = std::clamp(static_cast<int>(std::floor(centre.x())), 0, picture.width() - 1);
    const int cy = std::clamp(static_cast<int>(std::floor(centre.y())), 0, picture.height() - 1);
    int64_t sum = 0;
    int count = 0;
    for (int y = std::max(0, cy - half_h); y <= std::min(picture.height() - 1, cy + half_h); ++y) {
        for (int x = std::max(0, cx - half_w); x <= std::min(picture.width() - 1, cx + half_w);
             ++x) {
            const QRgb pixel = picture.pixel(x, y);
            sum += 299 * qRed(pixel) + 587 * qGreen(pixel) + 114 * qBlue(pixel);
            ++count;
        }
    }
    return static_cast<int>(sum / (1000 * std::max(1, count)));
}

} // namespace

QRectF TimeStripArea(const QSize &size)
{
    const double band = static_cast<double>(size.height()) / TimeStrip::kBandDivisor;
    return QRectF(0, size.height() - band, size.width(), band);
}

bool DrawTimeStrip(QPainter &painter, const QSize &size, int64_t utc_seconds)
{
    if (utc_seconds < 0 || utc_seconds > TimeStrip::kMaxSeconds || !Fits(size))
        return false;
    const auto bits = Encode(static_cast<uint64_t>(utc_seconds));
    painter.save();
    painter.resetTransform();
    painter.setPen(Qt::NoPen);
    painter.setRenderHint(QPainter::Antialiasing, false);
    // Whole pixels: a block's edge is where its fraction of the picture rounds to.
    for (int cell = 0; cell < kCells; ++cell) {
        const QRectF rect = CellRect(size, cell);
        const QRect pixels(QPoint(static_cast<int>(std::lround(rect.left())),
                                  static_cast<int>(std::lround(rect.top()))),
                           QPoint(static_cast<int>(std::lround(rect.right())) - 1,
                                  static_cast<int>(std::lround(rect.bottom())) - 1));
        painter.fillRect(pixels, bits[cell] ? Qt::white : Qt::black);
    }
    painter.restore();
    return true;
}

bool DrawTimeStrip(QImage &picture, int64_t utc_seconds)
{
    if (picture.isNull())
        return false;
    QPainter painter(&picture);
    return DrawTimeStrip(painter, picture.size(), utc_seconds);
}

bool ReadTimeStrip(const QImage &picture, int64_t &utc_seconds)
{
    if (picture.isNull() || picture.width() < TimeStrip::kColumns ||
        picture.height() < TimeStrip::kRows * TimeStrip::kBandDivisor)
        return false;
    uint64_t word = 0;
    for (int cell = 0; cell < kCells; ++cell) {
        const int luma = CentreLuma(picture, CellRect(picture.size(), cell));
        if (luma >= 96 && luma <= 160)
            return false;
        const bool bit = luma > 160;
        if (IsFrameCell(cell)) {
            if (bit != FrameBit(cell))
                return false;
            continue;
        }
        word = (word << 1) | (bit ? 1 : 0);
    }
    const uint64_t value = word >> TimeStrip::kCheckBits;
    if (Crc8(value) != static_cast<uint8_t>(word & 0xff))
        return false;
    utc_seconds = static_cast<int64_t>(value);
    return true;
}

} // namespace teskrecordserver
