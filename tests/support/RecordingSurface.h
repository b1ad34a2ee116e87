#pragma once

#include "plot/DrawingSurface.h"

#include <string>
#include <vector>

namespace valvix::test {

// A drawing surface that keeps a list of everything drawn on it, for tests.
class RecordingSurface final : public DrawingSurface {
public:
    enum class Kind { Dot, Line, Rectangle, FilledRectangle, Text, Picture };
    struct Item {
        Kind kind;
        PointF a;
        PointF b;
        Rgb colour;
        int pen;
        std::string text;
        FontSpec font;
    };

    std::vector<Item> items;
    std::vector<int> penChanges;
    int pictureFailures = 0;

    void setPenWidth(int pixels) override {
        m_pen = pixels;
        penChanges.push_back(pixels);
    }
    int penWidth() const override { return m_pen; }
    void dot(PointF at, Rgb colour) override { add(Kind::Dot, at, at, colour); }
    void line(PointF from, PointF to, Rgb colour) override { add(Kind::Line, from, to, colour); }
    void rectangle(PointF c1, PointF c2, Rgb colour) override {
        add(Kind::Rectangle, c1, c2, colour);
    }
    void filledRectangle(PointF c1, PointF c2, Rgb colour) override {
        add(Kind::FilledRectangle, c1, c2, colour);
    }
    void setFont(const FontSpec& font) override { m_font = font; }
    void text(PointF at, std::string_view text, Rgb colour) override {
        add(Kind::Text, at, at, colour);
        items.back().text = std::string(text);
    }
    float textHeight() const override { return static_cast<float>(m_font.points * 20); }
    bool picture(const Picture* picture, PointF topLeft, float width, float height) override {
        if (picture == nullptr) {
            ++pictureFailures;
            return false;
        }
        add(Kind::Picture, topLeft, {topLeft.x + width, topLeft.y + height}, {});
        return true;
    }

    std::vector<Item> ofKind(Kind kind) const {
        std::vector<Item> found;
        for (const Item& item : items) {
            if (item.kind == kind) {
                found.push_back(item);
            }
        }
        return found;
    }

private:
    void add(Kind kind, PointF a, PointF b, Rgb colour) {
        items.push_back(Item{kind, a, b, colour, m_pen, {}, m_font});
    }

    int m_pen = 1;
    FontSpec m_font;
};

} // namespace valvix::test
