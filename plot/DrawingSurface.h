#pragma once

#include "state/Picture.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace valvix {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kBlue{0, 0, 255};
inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};

struct PointF {
    float x = 0;
    float y = 0;
    friend bool operator==(const PointF&, const PointF&) = default;
};

struct FontSpec {
    std::string family = "Arial";
    double points = 8.25;
    bool bold = false;
    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// What windows, the printed page and tests draw on. Coordinates are layout units (or
// twips on the page); pen widths are device pixels and stay in force until changed.
class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;

    virtual void setPenWidth(int pixels) = 0;
    virtual int penWidth() const = 0;

    // A dot is a line of zero length: a square of the pen width.
    virtual void dot(PointF at, Rgb colour) = 0;
    // Many dots of one colour with the current pen width; the same as one dot() each.
    virtual void dots(const PointF* points, std::size_t count, Rgb colour) {
        for (std::size_t i = 0; i < count; ++i) {
            dot(points[i], colour);
        }
    }
    virtual void line(PointF from, PointF to, Rgb colour) = 0;
    virtual void rectangle(PointF corner1, PointF corner2, Rgb colour) = 0;
    virtual void filledRectangle(PointF corner1, PointF corner2, Rgb colour) = 0;

    virtual void setFont(const FontSpec& font) = 0;
    // Text with its top-left corner at 'at', on a transparent background.
    virtual void text(PointF at, std::string_view text, Rgb colour) = 0;
    // Height of one line of text in the current font, in surface units.
    virtual float textHeight() const = 0;

    // Paints the picture stretched into the rectangle. Returns false when there is
    // no picture to paint.
    virtual bool picture(const Picture* picture, PointF topLeft, float width, float height) = 0;
};

} // namespace valvix
