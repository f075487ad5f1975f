#pragma once
// Window positions and sizes are laid out in twips, as the windows were designed. The program
// draws at 96 dots per inch, where one pixel is 15 twips.

constexpr int kTwipsPerPixel = 15;

// Rounds to the nearest pixel so that a size given in twips never loses more than half a pixel.
constexpr int TwipsToPixels(int twips) {
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

constexpr int PixelsToTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}
