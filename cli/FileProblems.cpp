#include "cli/FileProblems.h"

#include "platform/DesktopServices.h"
#include "platform/PictureCache.h"
#include "state/DesignFile.h"
#include "state/ValueRules.h"

#include <QImageReader>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace valvix::cli {

namespace {

namespace fs = std::filesystem;

// The part of a file looked at to tell a design file: its value lines stand at its start.
constexpr std::streamsize kLookedAtBytes = std::streamsize{1} << 20;

std::string Named(std::string_view option, const std::string& path) {
    return std::string(option) + " " + path + ": ";
}

std::string Head(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::string bytes(static_cast<std::size_t>(kLookedAtBytes), '\0');
    file.read(bytes.data(), kLookedAtBytes);
    bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(file.gcount(), 0)));
    return bytes;
}

// Every saved design has its "Xleft:" line third, and no text holds a NUL byte.
bool HasDesignLabel(const std::string& bytes) {
    return bytes.find("\nXleft:") != std::string::npos ||
           bytes.find("\rXleft:") != std::string::npos;
}

// Why an output file cannot be written, where the file system tells; empty otherwise.
std::string OutputCause(const std::string& path) {
    const fs::path file(path);
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    std::error_code error;
    const fs::file_status folderStatus = fs::status(folder, error);
    if (fs::is_directory(file, error)) {
        return "it is a folder.";
    }
    if (!fs::exists(folderStatus)) {
        return "the folder " + folder.string() + " does not exist.";
    }
    if (!fs::is_directory(folderStatus)) {
        return folder.string() + " is not a folder.";
    }
    if (fs::exists(file, error) && ::access(path.c_str(), W_OK) != 0) {
        return "the file may not be written.";
    }
    if (!fs::exists(file, error) && ::access(folder.c_str(), W_OK) != 0) {
        return "the folder " + folder.string() + " may not be written.";
    }
    return {};
}

} // namespace

std::string InputProblem(std::string_view option, const std::string& path) {
    struct stat info {};
    std::string cause;
    if (::stat(path.c_str(), &info) != 0) {
        cause = errno == ENOENT || errno == ENOTDIR
                    ? "the file does not exist."
                    : "the file cannot be reached (" + std::string(std::strerror(errno)) + ").";
    } else if (S_ISDIR(info.st_mode)) {
        cause = "it is a folder, not a file.";
    } else if (!S_ISREG(info.st_mode)) {
        cause = "it is not a regular file.";
    } else if (const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC); fd < 0) {
        cause = "the file may not be read (" + std::string(std::strerror(errno)) + ").";
    } else {
        ::close(fd);
    }
    return cause.empty() ? cause : Named(option, path) + cause;
}

std::string ReadCommandDesign(const std::string& path, RuleFilter checked, Design& design) {
    if (std::string problem = InputProblem("--design", path); !problem.empty()) {
        return problem;
    }
    const std::string head = Head(path);
    const bool read = ReadDesignFile(path, design).ok;
    const ValueRule* refused = FirstRefused(design, checked);
    const bool usable = read && refused == nullptr;
    if (head.find('\0') != std::string::npos || (!HasDesignLabel(head) && !usable)) {
        return Named("--design", path) + "the file is not a Valvix design file.";
    }
    if (!read) {
        return Named("--design", path) +
               "the file holds a number too large for the program (beyond 3.4E+38).";
    }
    if (refused != nullptr) {
        return Named("--design", path) + std::string(refused->message);
    }
    return {};
}

std::string ReadCommandPicture(const std::string& path, Design& design,
                               std::shared_ptr<const Picture>& picture) {
    if (std::string problem = InputProblem("--picture", path); !problem.empty()) {
        return problem;
    }
    design.GraphicFileName = path;
    picture = DesktopServices().loadPicture(path);
    if (picture != nullptr) {
        return {};
    }
    if (!QImageReader(QString::fromStdString(path)).canRead()) {
        return Named("--picture", path) + "the file is not a picture Valvix can read.";
    }
    return Named("--picture", path) + "the picture could not be decoded: it is damaged, or has " +
           "more than " + std::to_string(kMostPicturePixels / 1'000'000) + " million pixels.";
}

std::string OutputProblem(std::string_view option, const std::string& path,
                          std::string_view failure) {
    std::string message = Named(option, path) + std::string(failure);
    if (message.ends_with('.')) {
        message.pop_back();
    }
    const std::string cause = OutputCause(path);
    return message + (cause.empty() ? "." : ": " + cause);
}

} // namespace valvix::cli
