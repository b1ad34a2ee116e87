#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace valvix {

// A picture's grey levels, row by row from the top-left pixel: 0 is black, 255 white.
struct GreyLevels {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> levels; // width * height values

    bool empty() const { return width <= 0 || height <= 0; }
    std::uint8_t at(int x, int y) const {
        return levels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

// A loaded chart picture. The toolkit side provides the pixels; the core reads the
// picture's size and, for fitting, its grey levels.
class Picture {
public:
    virtual ~Picture() = default;
    virtual int width() const = 0;
    virtual int height() const = 0;
    // The grey levels, worked out once on first use; empty for a picture that cannot
    // give its pixels.
    virtual const GreyLevels& grey() const {
        static const GreyLevels kNone;
        return kNone;
    }
    // The ink levels, where printed curves are looked for: a strongly coloured pixel counts
    // as dark as its darkest colour channel, so that a light-coloured curve (yellow, orange,
    // light blue) stands off the paper as its colour does, not by its brightness alone. The
    // grey levels where the picture has no strong colours.
    virtual const GreyLevels& ink() const { return grey(); }
};

} // namespace valvix
