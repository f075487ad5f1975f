#pragma once
// How a window reads as it is drawn: the contrast of two colours, the ink and the ground of a
// control taken from a picture of its window, and a dark desktop palette to draw it under.

#include <QApplication>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QPalette>
#include <QWidget>
#include <algorithm>
#include <cmath>

inline double Luminance(const QColor& c) {
    auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

// The contrast ratio of two colours, 1 (the same) to 21 (black on white).
inline double Contrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// How a control of a window is drawn: the colour of its text (of the pixels inside the control,
// the one that stands out most from the background there) and that background.
struct DrawnLabel {
    QColor ink;
    QColor background;
    double contrast() const { return Contrast(ink, background); }
};
inline DrawnLabel Drawn(QWidget& window, QWidget* control) {
    const QImage picture = window.grab().toImage();
    const QRect at(control->mapTo(&window, QPoint(0, 0)), control->size());
    // Behind the text: the commonest colour of the control's area (a label without indent has
    // its text from its very edge).
    QHash<QRgb, int> seen;
    for (int y = at.top(); y <= at.bottom(); ++y)
        for (int x = at.left(); x <= at.right(); ++x) ++seen[picture.pixel(x, y)];
    QRgb commonest = 0;
    for (auto it = seen.cbegin(); it != seen.cend(); ++it)
        if (it.value() > seen.value(commonest)) commonest = it.key();
    DrawnLabel drawn{QColor(), QColor(commonest)};
    double most = 0;
    for (int y = at.top(); y <= at.bottom(); ++y)
        for (int x = at.left(); x <= at.right(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            const double contrast = Contrast(c, drawn.background);
            if (contrast > most) {
                most = contrast;
                drawn.ink = c;
            }
        }
    return drawn;
}

// A dark desktop palette: light text on dark windows and boxes.
inline QPalette DarkDesktopPalette() {
    QPalette p;
    const QColor window(45, 45, 48);
    const QColor base(30, 30, 30);
    const QColor text(235, 235, 235);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::Highlight, QColor(61, 142, 201));
    p.setColor(QPalette::HighlightedText, Qt::white);
    // The pale links of a dark desktop, which no page on white can count on.
    p.setColor(QPalette::Link, QColor(138, 180, 248));
    p.setColor(QPalette::LinkVisited, QColor(197, 160, 245));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(130, 130, 130));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(130, 130, 130));
    return p;
}

// Sets the program's palette for as long as it lives; the one before comes back afterwards,
// however the test ends.
class PaletteScope {
  public:
    explicit PaletteScope(const QPalette& palette) : before_(QApplication::palette()) {
        QApplication::setPalette(palette);
    }
    ~PaletteScope() { QApplication::setPalette(before_); }
    PaletteScope(const PaletteScope&) = delete;
    PaletteScope& operator=(const PaletteScope&) = delete;

  private:
    QPalette before_;
};
