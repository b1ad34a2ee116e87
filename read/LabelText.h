#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace valvix::read {

// The text a reader gave for a label, made plain: every dash Unicode knows as a minus
// (hyphen, figure dash, en dash, em dash, minus sign) becomes '-', blanks go, and
// letters are upper case.
std::string PlainLabelText(std::string_view text);

// A number printed on an axis: digits with at most one decimal point, after at most one
// minus or plus sign ("250", "-2", ".5", "0.25"); nothing for any other text.
std::optional<double> TickValue(std::string_view text);

// A curve's grid voltage as data sheets label it: "Vg = -2V", "EC=0", "Ec1 = -4 VOLTS",
// "-1", "0V", "+2": an optional name of the grid (Vg, Eg, Ec, Ug, with a 1 or k) and '=', the
// number, an optional unit (V, VOLT, VOLTS). A small '=' read as S, E or a dash before the
// sign is taken for one; with the '=' lost, only 0 is read ("Ec 0V"). A name read in part
// ("c=-2") is passed over, and a dash after the '=' and number, a curve's ("Ec=-2-"), left
// out. gridNamed says whether the name was there, read whole; signWritten says whether a
// sign stood before the number, so that a minus lost in reading can be told from a positive
// voltage.
struct CurveLabel {
    double volts = 0;
    bool signWritten = false;
    bool gridNamed = false; // the grid's name stood before the number
    // Small print read as two digits and no point, which may have lost its point: "35"
    // may stand for 3.5. Set by the reader, which knows the print's size.
    bool pointMayBeLost = false;
};
std::optional<CurveLabel> CurveLabelValue(std::string_view text);

// Whether a label's text may have lost a decimal point between its digits: it holds
// exactly two digits, no point, and the last is not 0 ("35", "-05V"; a lost point in "1.0"
// is not told from a printed "10").
bool PointMayBeLost(std::string_view text);

// How many digits a label's text shows after its point; nothing where it shows no point.
std::optional<int> DecimalsShown(std::string_view text);

// The text with a point put back before the last `decimals` digits of its last run of
// digits ("Vg=-10V", 1: "Vg=-1.0V"), where the run is longer than that and the text shows
// no point; nothing otherwise.
std::optional<std::string> WithPointPutBack(std::string_view text, int decimals);

// A grid's name and '=' with nothing after it ("Ec=", "VG ="): a curve label whose number
// was lost in reading.
bool IsGridNameAlone(std::string_view text);

} // namespace valvix::read
