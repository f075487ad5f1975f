#pragma once
// Window positions and sizes are laid out in twips, as the windows were designed. The program
// draws at 96 dots per inch, where one pixel is 15 twips.

#include <QFont>
#include <QRect>

constexpr int kTwipsPerPixel = 15;

// Rounds to the nearest pixel so that a size given in twips never loses more than half a pixel.
constexpr int TwipsToPixels(int twips) {
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

constexpr int PixelsToTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}

inline QRect TwipsRect(int left, int top, int width, int height) {
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
                 TwipsToPixels(height));
}

// The windows were designed in Verdana, sized in points.
inline QFont VerdanaFont(double points, bool bold) {
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}
