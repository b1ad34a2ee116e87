#pragma once

#include <opencv2/core.hpp>

#include <memory>
#include <string>
#include <string_view>

namespace tesseract {
class TessBaseAPI;
}

namespace valvix::read {

// Reads short texts (axis numbers, curve labels) from crops of a chart picture with
// Tesseract's English model. One reader serves any number of crops, one after another.
class TextReader final {
public:
    TextReader();
    ~TextReader();
    TextReader(const TextReader&) = delete;
    TextReader& operator=(const TextReader&) = delete;

    // False when Tesseract or its English data could not be loaded; every reading is
    // then empty.
    bool ready() const { return m_ready; }

    struct Reading {
        std::string text;
        int confidence = 0;   // Tesseract's, 0 to 100
        bool thinned = false; // read with its strokes thinned, as printed it gave nothing
    };
    // Reads the crop (dark text on light paper) as one line of text made of the allowed
    // characters only. The crop is scaled so that its text stands `readHeight` pixels
    // high (Tesseract reads best at 25 to 40), given the height of its characters in the
    // crop's pixels. With `thinnedToo`, a crop that gives nothing is read again with its
    // strokes thinned: heavy print whose strokes run together (a minus joined to its digit)
    // may read then, and so may a stray mark, as a lone digit or two.
    Reading readLine(const cv::Mat1b& crop, double characterHeight, double readHeight,
                     std::string_view allowed, bool smooth = true, bool thinnedToo = false);

private:
    // One reading of a framed crop, as a line or as one character.
    Reading ReadOnce(const cv::Mat1b& framed, bool oneCharacter);

    std::unique_ptr<tesseract::TessBaseAPI> m_api;
    bool m_ready = false;
};

} // namespace valvix::read
