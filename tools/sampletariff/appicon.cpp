// graphics/fretlyn*.png, the program's icon: on the desktop's menu and on every window. A white
// freight truck on the carrier's blue, drawn with shapes only (no font is needed to draw it), on
// a 256-pixel grid scaled to the size asked for.
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <stdexcept>

#include "sampletariff.h"

std::string AppIconBytes(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 256.0, size / 256.0);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(27, 86, 167));
        painter.drawRoundedRect(QRectF(8, 8, 240, 240), 40, 40);
        // A road under the truck.
        painter.setBrush(QColor(250, 204, 21));
        painter.drawRect(QRectF(28, 196, 200, 10));
        painter.setBrush(Qt::white);
        painter.drawRoundedRect(QRectF(28, 72, 132, 96), 8, 8);  // the trailer
        QPainterPath cab;
        cab.moveTo(166, 168);
        cab.lineTo(166, 96);
        cab.lineTo(204, 96);
        cab.lineTo(228, 132);
        cab.lineTo(228, 168);
        cab.closeSubpath();
        painter.drawPath(cab);
        painter.setBrush(QColor(27, 86, 167));
        painter.drawRect(QRectF(176, 106, 24, 26));  // the cab's window
        for (double x : {62.0, 124.0, 204.0}) {
            painter.setBrush(QColor(30, 30, 30));
            painter.drawEllipse(QPointF(x, 176), 20, 20);
            painter.setBrush(QColor(200, 200, 200));
            painter.drawEllipse(QPointF(x, 176), 8, 8);
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) throw std::runtime_error("cannot draw fretlyn.png");
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}
