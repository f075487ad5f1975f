#include "readability.h"

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace {

double Luminance(const QColor& c) {
    auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

// The contrast ratio of two colours, 1 (the same) to 21 (black on white).
double Contrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The colour behind a text: the mean of the area's pixels that are not of the text's own colour
// (a gradient band has no one colour). An area mostly of the text's colour has the text's colour
// behind it: the text does not show.
QColor Behind(const QImage& image, const QRect& area, const QColor& ink) {
    const QRect inside = area.intersected(image.rect());
    long long r = 0, g = 0, b = 0, others = 0, all = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QColor c(image.pixel(x, y));
            ++all;
            const int near = std::abs(c.red() - ink.red()) + std::abs(c.green() - ink.green()) +
                             std::abs(c.blue() - ink.blue());
            if (near < 60) continue;
            r += c.red();
            g += c.green();
            b += c.blue();
            ++others;
        }
    if (all == 0) return QColor();
    if (others * 2 < all) return ink;
    return QColor(static_cast<int>(r / others), static_cast<int>(g / others),
                  static_cast<int>(b / others));
}

}  // namespace

QPalette DarkDesktopPalette() {
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
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(130, 130, 130));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(130, 130, 130));
    return p;
}

PaletteScope::PaletteScope(const QPalette& palette) : before_(QApplication::palette()) {
    QApplication::setPalette(palette);
}

PaletteScope::~PaletteScope() {
    QApplication::setPalette(before_);
}

std::vector<std::string> UnreadableTexts(QWidget* window) {
    // Far below any pair of colours the windows are designed with (the main window's black
    // labels on its blue stand at 2.9), far above a text in the colour of what is behind it.
    constexpr double kLeast = 2.0;
    const QImage picture = window->grab().toImage();
    std::vector<std::string> out;
    auto check = [&](QWidget* w, const QString& text, const QColor& ink) {
        if (text.trimmed().isEmpty() || !w->isVisibleTo(window) || !w->isEnabled()) return;
        const QRect area(w->mapTo(window, QPoint(0, 0)), w->size());
        const QColor behind = Behind(picture, area.adjusted(2, 2, -2, -2), ink);
        if (!behind.isValid() || Contrast(ink, behind) >= kLeast) return;
        out.push_back(w->objectName().toStdString() + " \"" + text.left(24).toStdString() +
                      "\": " + ink.name().toStdString() + " on " + behind.name().toStdString());
    };
    for (QLabel* l : window->findChildren<QLabel*>()) {
        // A picture, or rich text that carries its own colours, has no one text colour.
        if (!l->pixmap().isNull() || Qt::mightBeRichText(l->text())) continue;
        check(l, l->text(), l->palette().color(QPalette::Active, QPalette::WindowText));
    }
    for (QLineEdit* e : window->findChildren<QLineEdit*>())
        check(e, e->text(), e->palette().color(QPalette::Active, QPalette::Text));
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
        if (qobject_cast<QPushButton*>(b)) continue;  // drawn by the style on its own face
        check(b, b->text(), b->palette().color(QPalette::Active, QPalette::WindowText));
    }
    return out;
}
