#include "state/SafeFile.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <random>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace valvix {

namespace {

namespace fs = std::filesystem;

// A symbolic link is followed so that saving through it updates the file it points
// at instead of replacing the link with a plain file.
fs::path ResolvedTarget(const std::string& path) {
    std::error_code error;
    if (fs::is_symlink(path, error)) {
        fs::path resolved = fs::weakly_canonical(path, error);
        if (!error) {
            return resolved;
        }
    }
    return fs::path(path);
}

// Creates a new, empty file with an unused name next to target and returns its
// descriptor (-1 on failure). The name starts with a dot and a shortened form of the
// target's name so that a file left behind by a crash is recognisable and hidden.
int CreateTemporaryBeside(const fs::path& target, std::string& tempPath) {
    static std::atomic<std::uint64_t> counter{0};
    static const std::uint64_t seed = std::random_device{}();

    const fs::path folder = target.parent_path();
    // Keeps the temporary name within the usual 255-byte name limit.
    const std::string stem = target.filename().string().substr(0, 64);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::uint64_t tag = seed ^ (static_cast<std::uint64_t>(::getpid()) << 32) ^
                            counter.fetch_add(1) * 0x9E3779B97F4A7C15ULL;
        std::string name = "." + stem + ".";
        for (int digit = 0; digit < 12; ++digit, tag >>= 4) {
            name += "0123456789abcdef"[tag & 15];
        }
        name += ".tmp";
        tempPath = (folder.empty() ? fs::path(name) : folder / name).string();
        // 0666 lets the process umask decide the permissions of a new file, as for any
        // file created in place.
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

// Writes all bytes from the given offset on.
bool WriteAll(int fd, std::string_view bytes, off_t offset = 0) {
    while (!bytes.empty()) {
        const ssize_t written = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
        offset += written;
    }
    return true;
}

bool ReadAll(int fd, std::string& bytes) {
    char buffer[65536];
    for (off_t offset = 0;;) {
        const ssize_t got = ::pread(fd, buffer, sizeof buffer, offset);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got == 0;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
        offset += got;
    }
}

// A file the user has made read-only is not replaced, even by root or where the folder
// would allow a rename over it.
bool MayWrite(const fs::path& target, const struct stat& info) {
    return ::access(target.c_str(), W_OK) == 0 && (info.st_mode & 0222) != 0;
}

// Whether the new bytes can be written over the open file: not beyond the process's
// file-size limit, and no more room wanted than the file system has free for the user.
// A file system that reports no size at all is not held to the room it reports.
bool NewBytesFit(int fd, std::size_t size) {
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_FSIZE, &limit) != 0 ||
        (limit.rlim_cur != RLIM_INFINITY && size > limit.rlim_cur)) {
        return false;
    }
    struct stat info {};
    struct statvfs space {};
    if (::fstat(fd, &info) != 0 || ::fstatvfs(fd, &space) != 0 || space.f_blocks == 0) {
        return true;
    }
    const std::uint64_t block = space.f_frsize != 0 ? space.f_frsize : 512;
    const std::uint64_t wanted = (size + block - 1) / block * block;
    const std::uint64_t held = static_cast<std::uint64_t>(info.st_blocks) * 512;
    return wanted <= held || wanted - held <= std::uint64_t{space.f_bavail} * block;
}

// Where no temporary file can be made beside the target (a folder the user may not
// write), the target itself is rewritten. Keeping the old contents until the new ones
// are complete would take a second file, which such a folder does not allow, and
// writing the old bytes back after a failure is only as good as that second write: a
// process the file-size limit stops with SIGXFSZ halfway puts nothing back, a full disk
// may refuse the old bytes too. So a save that cannot fit is refused before the file is
// touched; the old bytes are written back only after a failure no check foresees (an
// I/O error).
bool RewriteInPlace(const fs::path& target, std::string_view bytes) {
    const int fd = ::open(target.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    std::string old;
    bool ok = NewBytesFit(fd, bytes.size()) && ReadAll(fd, old);
    if (ok) {
        ok = WriteAll(fd, bytes) && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 &&
             ::fsync(fd) == 0;
        if (!ok && WriteAll(fd, old) && ::ftruncate(fd, static_cast<off_t>(old.size())) == 0) {
            ::fsync(fd); // the old bytes are back
        }
    }
    return ::close(fd) == 0 && ok;
}

// Makes the rename itself durable; a failure here does not undo a completed save.
void SyncFolder(const fs::path& folder) {
    const std::string name = folder.empty() ? std::string(".") : folder.string();
    const int fd = ::open(name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

bool WriteFileReplacing(const std::string& path, std::string_view bytes) {
    // No file name holds a NUL: the system calls would stop at it and write elsewhere.
    if (path.empty() || path.find('\0') != std::string::npos) {
        return false;
    }
    const fs::path target = ResolvedTarget(path);
    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    if (replacing && !MayWrite(target, old)) {
        return false;
    }

    std::string tempPath;
    const int fd = CreateTemporaryBeside(target, tempPath);
    if (fd < 0) {
        return replacing && RewriteInPlace(target, bytes);
    }

    // A replaced file keeps its permission bits (best effort: the save does not
    // depend on it).
    if (replacing) {
        ::fchmod(fd, old.st_mode & 07777);
    }

    const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(tempPath.c_str(), target.c_str()) != 0) {
        ::unlink(tempPath.c_str());
        return false;
    }
    SyncFolder(target.parent_path());
    return true;
}

} // namespace valvix
