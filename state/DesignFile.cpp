#include "state/DesignFile.h"

#include "state/NumberText.h"
#include "state/SafeFile.h"
#include "state/Single.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace valvix {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

struct LabelledField {
    std::string_view label;
    float Design::*field;
};

// Lines 3 to 17 of the file, in order; the reader takes them back in the same order. A
// file without line 17 (written before it was read back) leaves the dissipation as it was.
constexpr std::array<LabelledField, 15> kFileFields{{
    {"Xleft: ", &Design::Xleft},
    {"Xright: ", &Design::Xright},
    {"Ytop: ", &Design::Ytop},
    {"Ybottom: ", &Design::Ybottom},
    {"Plot volts fullscale: ", &Design::PlateVoltageFullscale},
    {"Plot amps fullscale: ", &Design::PlateCurrentFullscale},
    {"Grid voltage most positive: ", &Design::GridVoltageMostPos},
    {"Grid voltage most negative: ", &Design::GridVoltageMostNeg},
    {"Grid voltage step: ", &Design::GridVoltageStep},
    {"Mu: ", &Design::Mu},
    {"Ex: ", &Design::Ex},
    {"Kg1: ", &Design::Kg1},
    {"Kp: ", &Design::Kp},
    {"Kvb: ", &Design::Kvb},
    {"Plate dissipation: ", &Design::Dissipation},
}};
// The file name and date lines are read as values too (and thrown away), so they
// must stay exactly one line each.
constexpr std::size_t kLinesSkippedByReader = 2;

// Largest part of a file the reader looks at. The values it needs are in the first
// few hundred bytes unless a file is padded with comments; the cap keeps a wrongly
// chosen huge file from exhausting memory.
constexpr std::size_t kReadLimit = std::size_t{64} << 20;

// A line break inside a text would split its line in two and shift every value
// after it, so breaks are written as blanks.
std::string OneLine(std::string_view text) {
    std::string line(text);
    std::replace_if(
        line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return line;
}

// Reads the whole regular file at path, up to kReadLimit bytes.
bool ReadFileBytes(const std::string& path, std::string& bytes) {
    // No file name holds a NUL; the system calls would stop at it and open another file.
    if (path.find('\0') != std::string::npos) {
        return false;
    }
    // Only regular files are opened at all: opening a FIFO would wait for a writer
    // and opening a device may have side effects.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    // O_NONBLOCK guards against the name being swapped for a FIFO in between; the
    // check on the open descriptor below is the one that counts.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    if (ok) {
        bytes.clear();
        bytes.resize(
            std::min(static_cast<std::size_t>(std::max<off_t>(info.st_size, 0)), kReadLimit));
        std::size_t filled = 0;
        while (true) {
            if (filled == bytes.size()) {
                // The file may have grown since fstat; keep going up to the cap.
                if (bytes.size() >= kReadLimit) {
                    break;
                }
                bytes.resize(std::min(std::max<std::size_t>(bytes.size() * 2, 4096), kReadLimit));
            }
            const ssize_t got = ::read(fd, bytes.data() + filled, bytes.size() - filled);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                ok = false;
                break;
            }
            if (got == 0) {
                break;
            }
            filled += static_cast<std::size_t>(got);
        }
        bytes.resize(filled);
    }
    ::close(fd);
    return ok;
}

// Walks the lines of a text, accepting CR LF, LF alone and CR alone as line ends.
// A last line without a line end still counts.
class LineReader {
public:
    explicit LineReader(std::string_view text) : m_text(text) {}

    bool atEnd() const { return m_pos >= m_text.size(); }

    std::string_view next() {
        const std::size_t end = std::min(m_text.find_first_of("\r\n", m_pos), m_text.size());
        const std::string_view line = m_text.substr(m_pos, end - m_pos);
        m_pos = end;
        if (m_pos < m_text.size()) {
            const bool crlf =
                m_text[m_pos] == '\r' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '\n';
            m_pos += crlf ? 2 : 1;
        }
        return line;
    }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
};

// Finds the next value line (skipping empty lines and "*" comment lines) and reads
// the number after its first colon, or at its start when it has none. False at the
// end of the text.
bool NextValue(LineReader& lines, double& value) {
    while (!lines.atEnd()) {
        const std::string_view line = lines.next();
        if (line.empty() || line.front() == '*') {
            continue;
        }
        const std::size_t colon = line.find(':');
        value = ReadPlainNumber(colon == std::string_view::npos ? line : line.substr(colon + 1));
        return true;
    }
    return false;
}

} // namespace

std::string DesignReadFailure(std::string_view path) {
    std::string message = "The chosen file (";
    message += path;
    message += ") was not read correctly.";
    return message;
}

std::string DesignFileText(const Design& design, std::string_view savedPath,
                           std::string_view dateTime) {
    // The reader skips an empty line or one starting with "*" without counting it,
    // which would make it take the Xleft line for the date. Such a date text gets a
    // prefix so that line 2 always counts as a value line.
    std::string date = OneLine(dateTime);
    if (date.empty() || date.front() == '*') {
        date.insert(0, "Saved ");
    }

    std::string text;
    text.reserve(512);
    text.append("Filename: ").append(OneLine(savedPath)).append(kLineEnd);
    text.append(date).append(kLineEnd);
    for (const LabelledField& entry : kFileFields) {
        text.append(entry.label).append(FormatSingleGeneral(design.*entry.field)).append(kLineEnd);
    }
    text.append(kLineEnd);
    return text;
}

FileResult WriteDesignFile(const std::string& path, const Design& design,
                           std::string_view dateTime) {
    if (path.empty()) {
        return {};
    }
    if (!WriteFileReplacing(path, DesignFileText(design, path, dateTime))) {
        return {false, std::string(kDesignWriteFailure)};
    }
    return {};
}

bool ReadDesignText(std::string_view text, Design& design) {
    LineReader lines(text);
    double value = 0;
    for (std::size_t skipped = 0; skipped < kLinesSkippedByReader; ++skipped) {
        if (!NextValue(lines, value)) {
            return true;
        }
    }
    for (const LabelledField& entry : kFileFields) {
        if (!NextValue(lines, value)) {
            return true;
        }
        if (!FitsSingle(value)) {
            return false;
        }
        design.*entry.field = ToSingle(value);
    }
    return true;
}

FileResult ReadDesignFile(const std::string& path, Design& design) {
    if (path.empty()) {
        return {};
    }
    std::string bytes;
    if (!ReadFileBytes(path, bytes) || !ReadDesignText(bytes, design)) {
        return {false, DesignReadFailure(path)};
    }
    return {};
}

} // namespace valvix
