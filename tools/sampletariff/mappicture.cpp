// graphics/usa.bmp, the background of the region map: the sea, every state in a plain light
// grey with its outline. The map paints the states in their region colours over it; the
// picture shows through wherever it does not.
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <sstream>
#include <stdexcept>

#include "sampletariff.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 500;

// One ring of a line "Name,x1,y1,x2,y2,…".
QPolygonF RingOf(const std::string& line) {
    QPolygonF ring;
    std::istringstream fields(line);
    std::string field;
    std::getline(fields, field, ',');  // the name
    std::vector<double> values;
    while (std::getline(fields, field, ',')) values.push_back(std::stod(field));
    for (size_t i = 0; i + 1 < values.size(); i += 2) ring << QPointF(values[i], values[i + 1]);
    return ring;
}

}  // namespace

std::string MapPictureBytes(const std::string& polygonText) {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(QColor(222, 235, 247));
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(110, 110, 110), 0.8));
        painter.setBrush(QColor(232, 232, 228));
        std::istringstream lines(polygonText);
        std::string line;
        while (std::getline(lines, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.find(',') == std::string::npos) continue;
            painter.drawPolygon(RingOf(line));
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "BMP")) throw std::runtime_error("cannot draw usa.bmp");
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}
