// The map widget on the shipped outlines and picture: states filled as the drawing says, a
// repaint of one state at once, and clicks found to the right state (all rings of a name as
// one, the District over its neighbours, the sea nothing).

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <map>

#include "polygonfile.h"
#include "regionmapwidget.h"

namespace {

const std::string kApp = FRETLYN_APP_DIR "/";

// A pixel well inside the ring: the middle of a diagonal from its first vertex, taken when that
// pixel and its four neighbours all lie inside.
std::optional<MapPoint> InsidePoint(const MapRing& ring) {
    for (size_t k = 2; k < ring.size(); ++k) {
        const double x = (ring[0].x + ring[k].x) / 2.0, y = (ring[0].y + ring[k].y) / 2.0;
        const int px = int(x), py = int(y);
        bool inside = true;
        for (auto [dx, dy] : {std::pair{0, 0}, {1, 0}, {-1, 0}, {0, 1}, {0, -1}})
            inside = inside && RingContains(ring, px + dx + 0.5, py + dy + 0.5);
        if (inside) return MapPoint{px, py};
    }
    return std::nullopt;
}

class RegionMapWidgetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        widget.resize(kMapWidth, kMapHeight);
        source.isListedState = [](const std::string& name) { return name != "Alaska"; };
        source.regionOf = [](const std::string& name) -> uint8_t {
            return name == "Texas" ? 2 : name == "Michigan" ? 3 : 1;
        };
        source.regionColour = [this](uint8_t region) {
            current = region == 2   ? MapRGB{0, 150, 72}
                      : region == 3 ? MapRGB{199, 115, 0}
                                    : MapRGB{255, 38, 9};
        };
        source.currentColour = [this] { return current; };
        problems = DrawRegionMap(widget, kApp, lines, source);
        for (const auto& line : lines) AddRing(shapes, PolygonName(line), *ParsePolygonRing(line));
    }

    const MapShape& Shape(const std::string& name) const {
        for (const auto& shape : shapes)
            if (shape.name == name) return shape;
        throw std::runtime_error("no shape " + name);
    }

    QColor PixelAt(const MapPoint& p) {
        const QImage image = widget.grab().toImage();
        const QPointF at = widget.ToWidget(p.x + 0.5, p.y + 0.5);
        return image.pixelColor(int(at.x()), int(at.y()));
    }

    RegionMapWidget widget;
    RegionMapSource source;
    MapRGB current{};
    std::vector<std::string> lines;
    std::vector<MapShape> shapes;
    RegionMapProblems problems;
};

TEST_F(RegionMapWidgetTest, ShippedFilesDrawEveryStateInItsColour) {
    EXPECT_TRUE(problems.missingPolygonFile.empty());
    EXPECT_TRUE(problems.missingPicture.empty());
    EXPECT_TRUE(problems.badLines.empty());
    EXPECT_TRUE(widget.HasPicture());
    EXPECT_EQ(shapes.size(), 51u);

    const auto texas = InsidePoint(Shape("Texas").rings[0]);
    const auto ohio = InsidePoint(Shape("Ohio").rings[0]);
    const auto alaska = InsidePoint(Shape("Alaska").rings[0]);
    ASSERT_TRUE(texas && ohio && alaska);
    EXPECT_EQ(PixelAt(*texas), QColor(0, 150, 72));
    EXPECT_EQ(PixelAt(*ohio), QColor(255, 38, 9));
    EXPECT_EQ(PixelAt(*alaska), QColor(190, 190, 190));
    // Every ring of Michigan wears its colour.
    for (const auto& ring : Shape("Michigan").rings) {
        if (const auto p = InsidePoint(ring)) {
            EXPECT_EQ(PixelAt(*p), QColor(199, 115, 0));
        }
    }

    // A repaint of one state shows at once and leaves the others.
    widget.FillPolygon("Texas", 255, 51, 153);
    widget.ShowPolygon("Texas", 1, 0);
    EXPECT_EQ(widget.PolygonColour("Texas"), QColor(255, 51, 153));
    EXPECT_EQ(PixelAt(*texas), QColor(255, 51, 153));
    EXPECT_EQ(PixelAt(*ohio), QColor(255, 38, 9));
}

TEST_F(RegionMapWidgetTest, ClicksFindTheirState) {
    QSignalSpy clicked(&widget, &RegionMapWidget::PolygonClicked);
    auto click = [&](double x, double y) {
        QTest::mouseClick(&widget, Qt::LeftButton, {}, widget.ToWidget(x, y).toPoint());
    };
    int expectedClicks = 0;
    for (const auto& ring : Shape("Michigan").rings) {
        const auto p = InsidePoint(ring);
        if (!p) continue;
        click(p->x + 0.5, p->y + 0.5);
        ASSERT_EQ(clicked.count(), ++expectedClicks);
        EXPECT_EQ(clicked.last().at(0).toString(), "Michigan");
    }
    EXPECT_GE(expectedClicks, 2);

    click(693, 217);  // the District's square over Maryland and Virginia
    ASSERT_EQ(clicked.count(), ++expectedClicks);
    EXPECT_EQ(clicked.last().at(0).toString(), "District of Columbia");

    click(5, 5);  // the sea
    EXPECT_EQ(clicked.count(), expectedClicks);
}

TEST(RegionMapWidget, ScaledToASmallerWidgetTheClicksStillFindTheState) {
    RegionMapWidget widget;
    widget.resize(kMapWidth / 2, kMapHeight / 2 + 40);
    widget.BeginDrawing("Form1");
    widget.AddPolygon("Box", "12,Box,100,100,300,100,300,300,100,300");
    widget.EndDrawing("Form1");
    QSignalSpy clicked(&widget, &RegionMapWidget::PolygonClicked);
    // Picture pixel (200, 200) sits at (100, 120) in the widget: half the scale, 20 pixels down.
    QTest::mouseClick(&widget, Qt::LeftButton, {}, QPoint(100, 120));
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.last().at(0).toString(), "Box");
    QTest::mouseClick(&widget, Qt::LeftButton, {}, QPoint(160, 120));  // picture x 320
    EXPECT_EQ(clicked.count(), 1);
}

// The map itself takes no more than the bounds of a whole file, whoever adds the polygons.
TEST(RegionMapWidget, PolygonsPastTheBoundsOfTheWholeMapAreLeftOff) {
    RegionMapWidget widget;
    widget.BeginDrawing("Form1");
    // The picture's frame, 2,600 pixels of outline, as many times as the bound allows.
    const auto fit = static_cast<int>(kMostMapOutlineLength / 2600);
    for (int n = 0; n <= fit; ++n)
        widget.AddPolygon("Frame" + std::to_string(n),
                          "12,Frame" + std::to_string(n) + ",0,0,800,0,800,500,0,500");
    widget.EndDrawing("Form1");
    EXPECT_TRUE(widget.PolygonColour(QStringLiteral("Frame%1").arg(fit - 1)).isValid());
    EXPECT_FALSE(widget.PolygonColour(QStringLiteral("Frame%1").arg(fit)).isValid());
    // A new drawing starts with the whole bound again.
    widget.BeginDrawing("Form1");
    widget.AddPolygon("Frame", "12,Frame,0,0,800,0,800,500,0,500");
    EXPECT_TRUE(widget.PolygonColour(QStringLiteral("Frame")).isValid());
}

// The map is drawn once for each change; the hover outline comes and goes over it.
TEST(RegionMapWidget, TheHoverOutlineComesAndGoesOverTheDrawnMap) {
    RegionMapWidget widget;
    widget.resize(kMapWidth, kMapHeight);
    widget.BeginDrawing("Form1");
    widget.AddPolygon("Box", "12,Box,100,100,300,100,300,300,100,300");
    widget.FillPolygon("Box", 0, 150, 72);
    widget.ShowPolygon("Box", 1, 0);
    widget.EndDrawing("Form1");
    widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
    auto pixel = [&](int x, int y) { return widget.grab().toImage().pixelColor(x, y); };
    const QColor edge = pixel(100, 200);
    EXPECT_EQ(pixel(200, 200), QColor(0, 150, 72));

    for (int x = 20; x <= 200; x += 20) QTest::mouseMove(&widget, QPoint(x, 200));
    EXPECT_EQ(widget.HoveredPolygon(), "Box");
    const QColor hovered = pixel(100, 200);
    EXPECT_GT(hovered.red(), 150);
    EXPECT_LT(hovered.green(), 80);
    EXPECT_EQ(pixel(200, 200), QColor(0, 150, 72));

    for (int x = 180; x >= 20; x -= 20) QTest::mouseMove(&widget, QPoint(x, 200));
    EXPECT_EQ(widget.HoveredPolygon(), "");
    EXPECT_EQ(pixel(100, 200), edge);
    // A new colour shows at the next repaint, the outline as before.
    widget.FillPolygon("Box", 255, 51, 153);
    widget.ShowPolygon("Box", 1, 0);
    EXPECT_EQ(pixel(200, 200), QColor(255, 51, 153));
}

}  // namespace
