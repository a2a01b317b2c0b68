#pragma once

#include <QRect>
#include <QSize>

// The windows were drawn in twips, 1,440 to the inch: 15 to the pixel at the
// usual 96 dots per inch. Every position and size of a control starts here.
namespace ui {

inline constexpr int kTwipsPerPixel = 15;

// The nearest whole pixel; the forms' own positions are whole pixels already.
[[nodiscard]] constexpr int Pixels(int twips) {
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

[[nodiscard]] constexpr QSize FromTwips(int width, int height) {
    return {Pixels(width), Pixels(height)};
}

[[nodiscard]] constexpr QRect FromTwips(int left, int top, int width, int height) {
    return {Pixels(left), Pixels(top), Pixels(width), Pixels(height)};
}

}  // namespace ui
