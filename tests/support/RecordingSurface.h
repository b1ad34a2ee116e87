#pragma once

#include "plot/DrawingSurface.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace valvix::test {

// A drawing surface that keeps a list of everything drawn on it.
class RecordingSurface final : public DrawingSurface {
public:
    enum class Kind { Dot, Line, Rectangle, FilledRectangle, Text, Picture };
    struct Item {
        Kind kind;
        PointF a, b;
        Rgb colour;
        int pen;
        std::string text;
        FontSpec font;
    };
    std::vector<Item> items;

    void setPenWidth(int pixels) override { m_pen = pixels; }
    int penWidth() const override { return m_pen; }
    void dot(PointF at, Rgb colour) override { add(Kind::Dot, at, at, colour); }
    void line(PointF from, PointF to, Rgb colour) override { add(Kind::Line, from, to, colour); }
    void rectangle(PointF a, PointF b, Rgb colour) override { add(Kind::Rectangle, a, b, colour); }
    void filledRectangle(PointF a, PointF b, Rgb colour) override { add(Kind::FilledRectangle, a, b, colour); }
    void setFont(const FontSpec& font) override { m_font = font; }
    void text(PointF at, std::string_view text, Rgb colour) override {
        add(Kind::Text, at, at, colour, std::string(text));
    }
    float textHeight() const override { return 100; }
    bool picture(const Picture* picture, PointF at, float width, float height) override {
        add(Kind::Picture, at, {at.x + width, at.y + height}, {});
        return picture != nullptr;
    }

    // The items of a kind (and colour, when given).
    std::vector<Item> of(Kind kind, std::optional<Rgb> colour = {}) const {
        std::vector<Item> found;
        std::copy_if(items.begin(), items.end(), std::back_inserter(found),
                     [&](const Item& i) { return i.kind == kind && (!colour || i.colour == *colour); });
        return found;
    }
    // Where the first item of a kind at a point lies in the list, -1 for none; that item, or
    // one with pen 0 and the text "none".
    long index(Kind kind, PointF a) const {
        const auto found =
            std::find_if(items.begin(), items.end(), [&](const Item& i) { return i.kind == kind && i.a == a; });
        return found == items.end() ? -1 : found - items.begin();
    }
    Item at(Kind kind, PointF a) const {
        return index(kind, a) < 0 ? Item{kind, a, a, {}, 0, "none", {}} : items[std::size_t(index(kind, a))];
    }

private:
    void add(Kind kind, PointF a, PointF b, Rgb colour, std::string text = {}) {
        items.push_back({kind, a, b, colour, m_pen, std::move(text), m_font});
    }
    int m_pen = 1;
    FontSpec m_font;
};

} // namespace valvix::test
