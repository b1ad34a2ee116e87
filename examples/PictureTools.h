#pragma once

// What the start-window pictures share: an oversampled canvas, fonts sized in pixels and
// a repeatable noise source.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>

#include <cstdint>

namespace valvix::pictures {

// Both pictures are drawn this many times larger and scaled down, for smooth edges.
inline constexpr int kOversample = 3;

// A canvas kOversample times the final size, filled.
QImage Canvas(int width, int height, const QColor& fill);

// Smooth drawing, with coordinates in pixels of the final picture.
void Prepare(QPainter& p);

// The canvas scaled down to the final size.
QImage Finish(const QImage& big, int width, int height);

// Text sizes are in pixels of the final picture at 96 dots per inch.
QFont Font(const QString& family, double pixels, bool bold = false, bool italic = false);

// A small deterministic generator, so that every run gives the same pictures.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : m_state(seed) {}
    // Uniform in [-1, 1].
    double next() {
        m_state = m_state * 1664525u + 1013904223u;
        return static_cast<double>(m_state >> 8) / static_cast<double>(1u << 23) - 1.0;
    }

private:
    std::uint32_t m_state;
};

} // namespace valvix::pictures
