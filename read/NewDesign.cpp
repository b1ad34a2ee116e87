#include "read/NewDesign.h"

#include "model/Triode.h"

namespace valvix::read {

namespace {

// The picture as the reader turned it level, for the digitizer and the fit.
class LevelledPicture final : public Picture {
public:
    LevelledPicture(const GreyLevels& grey, const GreyLevels& ink) : m_grey(grey), m_ink(ink) {}
    int width() const override { return m_grey.width; }
    int height() const override { return m_grey.height; }
    const GreyLevels& grey() const override { return m_grey; }
    const GreyLevels& ink() const override { return m_ink; }

private:
    const GreyLevels& m_grey;
    const GreyLevels& m_ink;
};

} // namespace

NewDesign ReadAndFit(const GreyLevels& grey, TextReader& reader, const Design& design) {
    return ReadAndFit(grey, grey, reader, design);
}

NewDesign ReadAndFit(const GreyLevels& grey, const GreyLevels& ink, TextReader& reader,
                     const Design& design) {
    NewDesign made;
    made.design = design;
    made.reading = ReadChart(grey, ink, reader);
    if (!made.reading.missing.empty()) {
        made.problem = made.reading.missing.front();
        if (made.reading.box) {
            ApplyReading(made.reading, grey.width, grey.height, made.design);
        }
        return made;
    }
    ApplyReading(made.reading, grey.width, grey.height, made.design);
    const GreyLevels& levelledInk =
        made.reading.levelledInk.empty() ? made.reading.levelled : made.reading.levelledInk;
    const LevelledPicture levelled(made.reading.levelled, levelledInk);
    fit::DigitizeOutcome digitized = fit::DigitizeDesignChart(made.design, &levelled);
    if (!digitized.ok) {
        made.problem = digitized.message;
        return made;
    }
    made.found = std::move(digitized.chart);
    fit::FitRequest request;
    request.traces = made.found.traces;
    request.withoutStart = true;
    made.fit = fit::FitToChart(made.design, &levelled, request);
    if (!made.fit.ok) {
        made.problem = made.fit.message;
        return made;
    }
    SetParameters(made.design, made.fit.parameters);
    return made;
}

} // namespace valvix::read
