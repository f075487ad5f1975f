// The hand cursor every window shows over its labels, written as a Windows cursor file.

#include <cstdint>
#include <string>

#include "sampletariff.h"

namespace {

// A pointing hand, 32 x 32: '#' outline, '.' white fill, blank transparent. The fingertip
// at column 5, row 0 is the hot spot.
const char* const kHand[32] = {
    "    ##                          ",
    "   #..#                         ",
    "   #..#                         ",
    "   #..#                         ",
    "   #..#                         ",
    "   #..###                       ",
    "   #..#..###                    ",
    "   #..#..#..##                  ",
    "   #..#..#..#.#                 ",
    "## #..#..#..#..#                ",
    "#..#........#..#                ",
    "#...#..........#                ",
    " #..#..........#                ",
    "  #............#                ",
    "  #............#                ",
    "   #...........#                ",
    "   #..........#                 ",
    "    #.........#                 ",
    "    #........#                  ",
    "     #.......#                  ",
    "     #.......#                  ",
    "     #########                  ",
};

void Put16(std::string& out, uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}

void Put32(std::string& out, uint32_t v) {
    Put16(out, static_cast<uint16_t>(v & 0xFFFF));
    Put16(out, static_cast<uint16_t>(v >> 16));
}

char At(int x, int y) { return y < 22 && kHand[y] ? kHand[y][x] : ' '; }

}  // namespace

std::string HandCursorBytes() {
    const int size = 32;
    std::string image;
    // Bitmap header: the height counts the colour and the mask rows together.
    Put32(image, 40);
    Put32(image, size);
    Put32(image, size * 2);
    Put16(image, 1);
    Put16(image, 32);
    Put32(image, 0);
    Put32(image, size * size * 4 + size * 4);
    for (int i = 0; i < 4; ++i) Put32(image, 0);
    // Colour rows, bottom row first, as blue, green, red, alpha.
    for (int y = size - 1; y >= 0; --y)
        for (int x = 0; x < size; ++x) {
            char c = At(x, y);
            uint8_t v = c == '.' ? 0xFF : 0x00;
            uint8_t a = c == ' ' ? 0x00 : 0xFF;
            image += static_cast<char>(v);
            image += static_cast<char>(v);
            image += static_cast<char>(v);
            image += static_cast<char>(a);
        }
    // Mask rows, bottom first: a set bit is transparent.
    for (int y = size - 1; y >= 0; --y)
        for (int byte = 0; byte < size / 8; ++byte) {
            uint8_t bits = 0;
            for (int b = 0; b < 8; ++b)
                if (At(byte * 8 + b, y) == ' ') bits |= static_cast<uint8_t>(0x80 >> b);
            image += static_cast<char>(bits);
        }

    std::string out;
    Put16(out, 0);  // reserved
    Put16(out, 2);  // a cursor
    Put16(out, 1);  // one image
    out += static_cast<char>(size);
    out += static_cast<char>(size);
    out += '\0';  // no palette
    out += '\0';
    Put16(out, 5);  // hot spot x
    Put16(out, 0);  // hot spot y
    Put32(out, static_cast<uint32_t>(image.size()));
    Put32(out, 22);  // the image follows the two headers
    return out + image;
}
