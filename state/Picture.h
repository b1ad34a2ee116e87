#pragma once

namespace valvix {

// A loaded chart picture. The toolkit side provides the pixels; the core only needs
// to know that a picture exists and how large it is.
class Picture {
public:
    virtual ~Picture() = default;
    virtual int width() const = 0;
    virtual int height() const = 0;
};

} // namespace valvix
