#pragma once
// The map control of the full discount editor: the background picture with the state polygons
// over it, filled as the drawing says, scaled to the widget. A click inside a polygon raises
// PolygonClicked with its name.

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <vector>

#include "polygonfile.h"
#include "regionmap.h"

class QPainter;

class RegionMapWidget : public QWidget, public RegionMapControl {
    Q_OBJECT
  public:
    explicit RegionMapWidget(QWidget* parent = nullptr);

    void SetOriginX(int16_t x) override;
    void SetOriginY(int16_t y) override;
    void SetOutlineWidth(int16_t width) override;
    void SetLabelColour(int32_t colour) override;
    void SetHoverColour(int32_t colour) override;
    void SetPictureFolder(const std::string& folder) override;
    void SetPictureFile(const std::string& file) override;
    void BeginDrawing(const std::string& form) override;
    void AddPolygon(const std::string& name, const std::string& description) override;
    void SetPolygonLabel(const std::string& text, const std::string& name) override;
    void FillPolygon(const std::string& name, int16_t red, int16_t green, int16_t blue) override;
    void ShowPolygon(const std::string& name, int16_t visible, int16_t blink) override;
    void EndPolygons() override;
    void EndDrawing(const std::string& form) override;

    // The fill a polygon shows; invalid when there is no polygon of that name.
    QColor PolygonColour(const QString& name) const;
    // The widget position of a picture pixel, and back.
    QPointF ToWidget(double x, double y) const;
    QPointF ToPicture(const QPointF& point) const;
    bool HasPicture() const { return !picture_.isNull(); }
    // Which polygons take a click and show the hover outline; all of them unless set.
    void SetTakesClick(std::function<bool(const std::string& name)> takesClick);
    // The polygon the hover outline is drawn around; empty for none.
    QString HoveredPolygon() const { return QString::fromStdString(hovered_); }

    QSize sizeHint() const override;

  signals:
    // The second text is kept empty: the editor uses only the name.
    void PolygonClicked(const QString& name, const QString& other);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    struct Look {
        QColor fill =
            QColor(kNeutralStateColour[0], kNeutralStateColour[1], kNeutralStateColour[2]);
        QString label;
        bool visible = true;
    };
    const MapShape* ShapeUnder(const QPointF& point) const;
    void LoadPicture();
    // Something the map shows changed: it is drawn afresh at the next repaint.
    void Redraw();
    void DrawMap(QPainter& painter) const;

    std::vector<MapShape> shapes_;
    MapOutlineBudget budget_;  // a polygon past the bounds of the whole map is left off
    std::map<std::string, Look> looks_;
    std::string pictureFolder_, pictureFile_;
    QImage picture_;
    QImage drawn_;  // the map as last drawn, without the hover outline; null when out of date
    int originX_ = 0, originY_ = 0, outlineWidth_ = 1;
    QColor labelColour_ = Qt::yellow, hoverColour_ = Qt::red;
    std::string hovered_;
    std::function<bool(const std::string& name)> takesClick_;
};
