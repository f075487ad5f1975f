#include "regionmapwidget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {

QColor FromMapColour(int32_t colour) {
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

QPainterPath PathOf(const MapShape& shape, int originX, int originY) {
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    for (const auto& ring : shape.rings) {
        QPolygonF polygon;
        for (const auto& point : ring) polygon << QPointF(point.x + originX, point.y + originY);
        path.addPolygon(polygon);
        path.closeSubpath();
    }
    return path;
}

}  // namespace

RegionMapWidget::RegionMapWidget(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setMinimumSize(kMapWidth / 2, kMapHeight / 2);
}

QSize RegionMapWidget::sizeHint() const {
    return {kMapWidth, kMapHeight};
}

void RegionMapWidget::SetOriginX(int16_t x) {
    originX_ = x;
    Redraw();
}
void RegionMapWidget::SetOriginY(int16_t y) {
    originY_ = y;
    Redraw();
}
void RegionMapWidget::SetOutlineWidth(int16_t width) {
    outlineWidth_ = width;
    Redraw();
}
void RegionMapWidget::SetLabelColour(int32_t colour) {
    labelColour_ = FromMapColour(colour);
    Redraw();
}
void RegionMapWidget::SetHoverColour(int32_t colour) {
    hoverColour_ = FromMapColour(colour);
}

void RegionMapWidget::SetPictureFolder(const std::string& folder) {
    pictureFolder_ = folder;
    LoadPicture();
}

void RegionMapWidget::SetPictureFile(const std::string& file) {
    pictureFile_ = file;
    LoadPicture();
}

void RegionMapWidget::LoadPicture() {
    Redraw();
    picture_ = QImage();
    if (pictureFolder_.empty() || pictureFile_.empty()) return;
    picture_.load(QString::fromStdString(pictureFolder_ + "/" + pictureFile_));
}

void RegionMapWidget::BeginDrawing(const std::string&) {
    shapes_.clear();
    budget_ = MapOutlineBudget();
    looks_.clear();
    hovered_.clear();
    Redraw();
}

void RegionMapWidget::AddPolygon(const std::string& name, const std::string& description) {
    // The description is the kind, then the polygon's own line.
    const auto comma = description.find(',');
    if (comma == std::string::npos) return;
    auto ring = ParsePolygonRing(description.substr(comma + 1));
    if (!ring || !budget_.Admit(*ring)) return;
    AddRing(shapes_, name, std::move(*ring));
    looks_.try_emplace(name);
    Redraw();
}

void RegionMapWidget::SetPolygonLabel(const std::string& text, const std::string& name) {
    if (auto look = looks_.find(name); look != looks_.end())
        look->second.label = QString::fromStdString(text);
    Redraw();
}

void RegionMapWidget::FillPolygon(const std::string& name, int16_t red, int16_t green,
                                  int16_t blue) {
    if (auto look = looks_.find(name); look != looks_.end())
        look->second.fill = QColor(red & 0xFF, green & 0xFF, blue & 0xFF);
    Redraw();
}

void RegionMapWidget::ShowPolygon(const std::string& name, int16_t visible, int16_t) {
    if (auto look = looks_.find(name); look != looks_.end()) look->second.visible = visible != 0;
    Redraw();
}

void RegionMapWidget::EndPolygons() {}
void RegionMapWidget::EndDrawing(const std::string&) {
    Redraw();
}

void RegionMapWidget::Redraw() {
    drawn_ = QImage();
    update();
}

QColor RegionMapWidget::PolygonColour(const QString& name) const {
    const auto look = looks_.find(name.toStdString());
    return look == looks_.end() ? QColor() : look->second.fill;
}

// The picture keeps its proportions and sits in the middle of the widget.
QPointF RegionMapWidget::ToWidget(double x, double y) const {
    const double scale = std::min(width() / double(kMapWidth), height() / double(kMapHeight));
    const double left = (width() - kMapWidth * scale) / 2;
    const double top = (height() - kMapHeight * scale) / 2;
    return {left + x * scale, top + y * scale};
}

QPointF RegionMapWidget::ToPicture(const QPointF& point) const {
    const double scale = std::min(width() / double(kMapWidth), height() / double(kMapHeight));
    const double left = (width() - kMapWidth * scale) / 2;
    const double top = (height() - kMapHeight * scale) / 2;
    return {(point.x() - left) / scale, (point.y() - top) / scale};
}

void RegionMapWidget::SetTakesClick(std::function<bool(const std::string& name)> takesClick) {
    takesClick_ = std::move(takesClick);
}

// Only a polygon that takes a click is found under the pointer: the others get neither a click
// nor a hover outline promising one.
const MapShape* RegionMapWidget::ShapeUnder(const QPointF& point) const {
    const QPointF at = ToPicture(point);
    const MapShape* shape = ShapeAt(shapes_, at.x() - originX_, at.y() - originY_);
    return shape && takesClick_ && !takesClick_(shape->name) ? nullptr : shape;
}

// The picture with every polygon filled, drawn once for each change: the hover outline, which
// follows the pointer, is all that most repaints add.
void RegionMapWidget::DrawMap(QPainter& painter) const {
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF topLeft = ToWidget(0, 0);
    const QPointF bottomRight = ToWidget(kMapWidth, kMapHeight);
    const QRectF area(topLeft, bottomRight);
    if (!picture_.isNull())
        painter.drawImage(area, picture_);
    else
        painter.fillRect(area, QColor(235, 242, 250));
    painter.translate(topLeft);
    painter.scale(area.width() / kMapWidth, area.height() / kMapHeight);
    for (const auto& shape : shapes_) {
        const auto& look = looks_.at(shape.name);
        if (!look.visible) continue;
        const QPainterPath path = PathOf(shape, originX_, originY_);
        painter.fillPath(path, look.fill);
        painter.strokePath(path, QPen(QColor(60, 60, 60), outlineWidth_ * 0.5));
        if (!look.label.isEmpty()) {
            painter.setPen(labelColour_);
            painter.drawText(path.boundingRect(), Qt::AlignCenter, look.label);
        }
    }
}

void RegionMapWidget::paintEvent(QPaintEvent*) {
    const qreal ratio = devicePixelRatioF();
    if (drawn_.isNull() || drawn_.size() != size() * ratio) {
        drawn_ = QImage(size() * ratio, QImage::Format_ARGB32_Premultiplied);
        drawn_.setDevicePixelRatio(ratio);
        drawn_.fill(Qt::transparent);
        QPainter onImage(&drawn_);
        DrawMap(onImage);
    }
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), drawn_);
    const QPointF topLeft = ToWidget(0, 0);
    painter.translate(topLeft);
    painter.scale((ToWidget(kMapWidth, 0).x() - topLeft.x()) / kMapWidth,
                  (ToWidget(0, kMapHeight).y() - topLeft.y()) / kMapHeight);
    // A one-pixel pen draws the outline along its length, crisp on the pixels it crosses; a
    // wider one would be stroked into an outline of its own and filled, which for a ring
    // crossing itself costs many times more.
    QPen hover(hoverColour_, 1);
    hover.setCosmetic(true);
    painter.setPen(hover);
    painter.setBrush(Qt::NoBrush);
    for (const auto& shape : shapes_)
        if (shape.name == hovered_ && looks_.at(shape.name).visible)
            painter.drawPath(PathOf(shape, originX_, originY_));
}

void RegionMapWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (const MapShape* shape = ShapeUnder(event->position()))
        emit PolygonClicked(QString::fromStdString(shape->name), QString());
}

void RegionMapWidget::mouseMoveEvent(QMouseEvent* event) {
    const MapShape* shape = ShapeUnder(event->position());
    const std::string now = shape ? shape->name : std::string();
    if (now != hovered_) {
        hovered_ = now;
        update();
    }
}

void RegionMapWidget::leaveEvent(QEvent*) {
    if (!hovered_.empty()) {
        hovered_.clear();
        update();
    }
}
