#include "handcursor.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <cstdint>

namespace {

constexpr int kCursorSize = 32;
constexpr int kIconDirSize = 6;
constexpr int kIconDirEntrySize = 16;
constexpr int kBitmapHeaderSize = 40;
constexpr int kCursorType = 2;  // 1 would be an icon
constexpr char kMouseIconProperty[] = "fretlynMouseIcon";

uint16_t Read16(const QByteArray& bytes, int at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes[at]) |
                                 (static_cast<uint8_t>(bytes[at + 1]) << 8));
}

void Append16(QByteArray& bytes, uint32_t value) {
    bytes.append(static_cast<char>(value & 0xFF));
    bytes.append(static_cast<char>((value >> 8) & 0xFF));
}

void Append32(QByteArray& bytes, uint32_t value) {
    Append16(bytes, value & 0xFFFF);
    Append16(bytes, value >> 16);
}

std::optional<QPoint> HotSpotOf(const QByteArray& bytes) {
    if (bytes.size() < kIconDirSize + kIconDirEntrySize) return std::nullopt;
    if (Read16(bytes, 0) != 0 || Read16(bytes, 2) != kCursorType || Read16(bytes, 4) == 0)
        return std::nullopt;
    return QPoint(Read16(bytes, 10), Read16(bytes, 12));
}

QImage DrawHand() {
    QImage image(kCursorSize, kCursorSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    // A hand pointing up: the raised index finger, three folded fingers, the palm and the thumb.
    QPainterPath hand;
    hand.addRoundedRect(QRectF(8.5, 0.5, 5, 17), 2.5, 2.5);
    hand.addRoundedRect(QRectF(13.5, 9.5, 4.5, 9), 2.2, 2.2);
    hand.addRoundedRect(QRectF(18, 10.5, 4.5, 8), 2.2, 2.2);
    hand.addRoundedRect(QRectF(22.5, 11.5, 4.5, 8), 2.2, 2.2);
    hand.addRoundedRect(QRectF(8.5, 14.5, 18.5, 13), 4, 4);
    QPainterPath thumb;
    thumb.moveTo(9.5, 23);
    thumb.lineTo(3.5, 16.5);
    thumb.cubicTo(2, 14.5, 4.5, 12.5, 6.5, 14);
    thumb.lineTo(10, 17.5);
    thumb.closeSubpath();
    hand = hand.united(thumb).simplified();

    painter.fillPath(hand, Qt::white);
    painter.setPen(QPen(Qt::black, 1.2));
    painter.drawPath(hand);
    // Knuckle lines between the folded fingers.
    painter.drawLine(QPointF(13.5, 14.5), QPointF(13.5, 18));
    painter.drawLine(QPointF(18, 15), QPointF(18, 18.5));
    painter.drawLine(QPointF(22.5, 16), QPointF(22.5, 19));
    return image;
}

}  // namespace

QCursor LoadHandCursor(const QString& curPath) {
    QFile file(curPath);
    if (!file.open(QIODevice::ReadOnly)) return QCursor(Qt::PointingHandCursor);
    const QByteArray bytes = file.readAll();
    const std::optional<QPoint> hotSpot = HotSpotOf(bytes);
    QImage image;
    if (!hotSpot || !image.loadFromData(bytes, "CUR") || image.isNull())
        return QCursor(Qt::PointingHandCursor);
    const int x = std::min<int>(hotSpot->x(), image.width() - 1);
    const int y = std::min<int>(hotSpot->y(), image.height() - 1);
    return QCursor(QPixmap::fromImage(image), x, y);
}

std::optional<QPoint> ReadCursorHotSpot(const QString& curPath) {
    QFile file(curPath);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return HotSpotOf(file.read(kIconDirSize + kIconDirEntrySize));
}

bool WriteHandCursorFile(const QString& path) {
    const QImage image = DrawHand();
    constexpr int kXorBytes = kCursorSize * kCursorSize * 4;
    constexpr int kMaskRowBytes = kCursorSize / 8;  // already a multiple of four
    constexpr int kMaskBytes = kMaskRowBytes * kCursorSize;
    constexpr int kImageBytes = kBitmapHeaderSize + kXorBytes + kMaskBytes;

    QByteArray bytes;
    bytes.reserve(kIconDirSize + kIconDirEntrySize + kImageBytes);
    // ICONDIR
    Append16(bytes, 0);
    Append16(bytes, kCursorType);
    Append16(bytes, 1);
    // ICONDIRENTRY: for a cursor the planes and bit-count fields hold the hot spot.
    bytes.append(static_cast<char>(kCursorSize));
    bytes.append(static_cast<char>(kCursorSize));
    bytes.append('\0');  // no palette
    bytes.append('\0');
    Append16(bytes, kHandHotSpotX);
    Append16(bytes, kHandHotSpotY);
    Append32(bytes, kImageBytes);
    Append32(bytes, kIconDirSize + kIconDirEntrySize);
    // BITMAPINFOHEADER: the height counts the colour image and the mask together.
    Append32(bytes, kBitmapHeaderSize);
    Append32(bytes, kCursorSize);
    Append32(bytes, kCursorSize * 2);
    Append16(bytes, 1);
    Append16(bytes, 32);
    Append32(bytes, 0);  // uncompressed
    Append32(bytes, kXorBytes + kMaskBytes);
    for (int i = 0; i < 4; ++i) Append32(bytes, 0);
    // Colour image, bottom row first, as blue, green, red, alpha.
    for (int y = kCursorSize - 1; y >= 0; --y) {
        for (int x = 0; x < kCursorSize; ++x) {
            const QRgb pixel = image.pixel(x, y);
            bytes.append(static_cast<char>(qBlue(pixel)));
            bytes.append(static_cast<char>(qGreen(pixel)));
            bytes.append(static_cast<char>(qRed(pixel)));
            bytes.append(static_cast<char>(qAlpha(pixel)));
        }
    }
    // Mask, bottom row first: a set bit lets the screen show through.
    for (int y = kCursorSize - 1; y >= 0; --y) {
        for (int byte = 0; byte < kMaskRowBytes; ++byte) {
            uint8_t bits = 0;
            for (int bit = 0; bit < 8; ++bit)
                if (qAlpha(image.pixel(byte * 8 + bit, y)) == 0) bits |= 0x80 >> bit;
            bytes.append(static_cast<char>(bits));
        }
    }

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    return file.write(bytes) == bytes.size() && file.flush();
}

void SetMouseIcon(QWidget* window, const QCursor& cursor) {
    window->setProperty(kMouseIconProperty, QVariant::fromValue(cursor));
}

bool HasMouseIcon(const QWidget* window) {
    return window->property(kMouseIconProperty).metaType() == QMetaType::fromType<QCursor>();
}

void SetMousePointer(QWidget* window, int pointer) {
    switch (pointer) {
        case kPointerArrow:
            window->setCursor(Qt::ArrowCursor);
            break;
        case kPointerHourglass:
            window->setCursor(Qt::WaitCursor);
            break;
        case kPointerCustom: {
            window->setCursor(HasMouseIcon(window)
                                  ? window->property(kMouseIconProperty).value<QCursor>()
                                  : QCursor(Qt::PointingHandCursor));
            break;
        }
        default:
            window->unsetCursor();
            break;
    }
}
