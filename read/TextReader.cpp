#include "read/TextReader.h"

#include <tesseract/baseapi.h>

#include <dlfcn.h>

#include <opencv2/imgproc.hpp>

#include <algorithm>

namespace valvix::read {

namespace {

// The margin of paper put around a crop.
constexpr int kMargin = 12;

// Tesseract built with OpenMP (as Debian's is) splits each line's network over several
// threads. A label is read in a few milliseconds, and on a machine of two cores those
// threads spend longer waking each other than reading: a chart read five times slower.
// Its parallel regions are kept on the calling thread, through whichever OpenMP runtime
// Tesseract brought along (none, if it was built without).
void KeepTesseractOnTheCallingThread() {
    using SetMaxActiveLevels = void (*)(int);
    void* const symbol = dlsym(RTLD_DEFAULT, "omp_set_max_active_levels");
    if (symbol != nullptr) {
        reinterpret_cast<SetMaxActiveLevels>(symbol)(0);
    }
}

// The crop scaled so that its text stands `readHeight` high, black on white, in a margin of
// paper. Jagged 1-bit edges are smoothed a little before scaling.
cv::Mat1b Framed(const cv::Mat1b& crop, double characterHeight, double readHeight, bool smooth) {
    const double scale = std::clamp(readHeight / characterHeight, 0.5, 8.0);
    cv::Mat1b smoothed;
    if (smooth) {
        cv::GaussianBlur(crop, smoothed, {0, 0}, 0.6);
    } else {
        smoothed = crop; // only read: the crop may be a view of the caller's picture
    }
    cv::Mat1b scaled;
    cv::resize(smoothed, scaled, cv::Size(), scale, scale,
               scale > 1 ? cv::INTER_CUBIC : cv::INTER_AREA);
    cv::threshold(scaled, scaled, 0, 255, cv::THRESH_BINARY | cv::THRESH_OTSU);
    cv::Mat1b framed;
    cv::copyMakeBorder(scaled, framed, kMargin, kMargin, kMargin, kMargin, cv::BORDER_CONSTANT,
                       255);
    return framed;
}

} // namespace

TextReader::TextReader() : m_api(std::make_unique<tesseract::TessBaseAPI>()) {
    KeepTesseractOnTheCallingThread();
    m_ready = m_api->Init(nullptr, "eng", tesseract::OEM_LSTM_ONLY) == 0;
    if (m_ready) {
        m_api->SetPageSegMode(tesseract::PSM_SINGLE_LINE);
        // Keep Tesseract's own messages (a missing dictionary, say) off the console.
        m_api->SetVariable("debug_file", "/dev/null");
    }
}

TextReader::~TextReader() {
    if (m_ready) {
        m_api->End();
    }
}

TextReader::Reading TextReader::readLine(const cv::Mat1b& crop, double characterHeight,
                                         double readHeight, std::string_view allowed, bool smooth,
                                         bool thinnedToo) {
    if (!m_ready || crop.empty() || !(characterHeight > 0)) {
        return {};
    }
    const cv::Mat1b framed = Framed(crop, characterHeight, readHeight, smooth);
    m_api->SetVariable("tessedit_char_whitelist", std::string(allowed).c_str());
    // A lone character is read as one when a line of it gives nothing.
    Reading reading = ReadOnce(framed, false);
    if (reading.text.empty()) {
        reading = ReadOnce(framed, true);
    }
    if (reading.text.empty() && thinnedToo) {
        cv::Mat1b thinned;
        cv::dilate(framed, thinned, cv::getStructuringElement(cv::MORPH_RECT, {3, 3}));
        reading = ReadOnce(thinned, false);
        reading.thinned = true;
    }
    return reading;
}

TextReader::Reading TextReader::ReadOnce(const cv::Mat1b& framed, bool oneCharacter) {
    m_api->SetPageSegMode(oneCharacter ? tesseract::PSM_SINGLE_CHAR : tesseract::PSM_SINGLE_LINE);
    m_api->SetImage(framed.data, framed.cols, framed.rows, 1, static_cast<int>(framed.step));
    m_api->SetSourceResolution(300);
    const std::unique_ptr<char[]> text(m_api->GetUTF8Text());
    Reading reading;
    reading.text = text != nullptr ? text.get() : "";
    while (!reading.text.empty() && (reading.text.back() == '\n' || reading.text.back() == ' ')) {
        reading.text.pop_back();
    }
    reading.confidence = m_api->MeanTextConf();
    m_api->Clear();
    return reading;
}

} // namespace valvix::read
