#pragma once

#include "read/CurveLabels.h"

#include <opencv2/core.hpp>

#include <optional>

namespace valvix::read {

class TextReader;

// A group of character-sized marks close together: a word or a label.
struct Mark {
    cv::RotatedRect at;
    cv::Mat1b ink; // the group's own marks, in the region's pixels
};

// Whether a group of marks (at its smallest bounding box) is thin enough to be one line of
// characters `height` high, however turned; labels stacked a line apart, grouped as one,
// are not, and are left unread.
bool IsOneTextLine(const cv::RotatedRect& at, double height);

// Reads a mark of `region` (characters `height` pixels high) as one curve label: turned
// level, and upside down where that reads and level does not. Small print, whose points
// and minus signs are lost most easily, is read again as printed at several sizes. Nothing
// when it reads as no label, or Tesseract is unsure of a number alone (not where it is a
// legend's entry, `inALegend`: its column must read whole and in even steps).
std::optional<FoundCurveLabel> ReadMark(const Mark& mark, const cv::Mat1b& region, double height,
                                        TextReader& reader, bool inALegend = false);

// Reads a legend's entry as printed: the picture's rectangle `line` of `region`, curves and
// all (a black curve across the entry, taken out, takes strokes of its characters with it).
std::optional<FoundCurveLabel> ReadEntryAsPrinted(const cv::Rect& line, const cv::Mat1b& region,
                                                  double height, TextReader& reader);

// Reads a mark standing beside a curve as a label printed along it: turned by the curve's
// own `turn`, however its ink lies (a stub of curve or of grid line joined to it, or a lone
// character, turns that), unless the mark is long and lies across the curve.
std::optional<FoundCurveLabel> ReadMarkAlong(const Mark& mark, const cv::Mat1b& region,
                                             double height, double turn, TextReader& reader);

} // namespace valvix::read
