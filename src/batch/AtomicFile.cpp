#include "batch/AtomicFile.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tresol::batch {
namespace {

// Temporary names to remove if a signal stops the program; fixed storage, as a signal handler
// may not allocate.
constexpr int kSlots = 16;
constexpr std::size_t kPathMax = 4096;
std::array<std::array<char, kPathMax>, kSlots> tempNames;
std::array<std::atomic<bool>, kSlots> tempUsed;

int registerTemp(const std::string& path) {
    if (path.size() >= kPathMax)
        return -1;
    for (int i = 0; i < kSlots; ++i) {
        bool expected = false;
        if (tempUsed[i].load() || !tempUsed[i].compare_exchange_strong(expected, true))
            continue;
        std::memcpy(tempNames[i].data(), path.c_str(), path.size() + 1);
        return i;
    }
    return -1;
}

void unregisterTemp(int slot) {
    if (slot >= 0)
        tempUsed[slot].store(false);
}

extern "C" void removeTempsAndDie(int sig) {
    for (int i = 0; i < kSlots; ++i)
        if (tempUsed[i].load())
            ::unlink(tempNames[i].data());
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

std::string reason() {
    return std::strerror(errno);
}

std::string directoryOf(const std::string& path) {
    const auto dir = std::filesystem::path(path).parent_path();
    return dir.empty() ? std::string(".") : dir.string();
}

mode_t fileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// A file without a name in `dir`, or -1 where the file system (or a missing /proc) does not allow
// giving it one later.
int openUnnamed(const std::string& dir) {
#ifdef O_TMPFILE
    if (::access("/proc/self/fd", X_OK) != 0)
        return -1;
    return ::open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
#else
    (void)dir;
    return -1;
#endif
}

std::string candidateTempName(const std::string& path) {
    static std::mt19937_64 random{std::random_device{}()};
    const auto p = std::filesystem::path(path);
    char suffix[20];
    std::snprintf(suffix, sizeof suffix, "%012llx",
                  static_cast<unsigned long long>(random() & 0xffffffffffffULL));
    // Hidden, marked as temporary, and with the target's extension for writers that look at it.
    // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) on "." + temporary.
    std::string name = ".";
    name += p.filename().string();
    name += ".tmp";
    name += suffix;
    name += p.extension().string();
    return (p.parent_path() / name).string();
}

} // namespace

std::string createTempBeside(const std::string& path) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = candidateTempName(path);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, fileMode());
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            throw OutputError("No se puede escribir «" + path + "»: " + reason() + ".");
        }
        ::close(fd);
        registerTemp(name);
        return name;
    }
    throw OutputError("No se puede escribir «" + path + "»: no hay un nombre temporal libre.");
}

void releaseTempName(const std::string& tempPath) {
    for (int i = 0; i < kSlots; ++i)
        if (tempUsed[i].load() && tempPath == tempNames[i].data())
            unregisterTemp(i);
}

void installInterruptCleanup() {
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
        std::signal(sig, removeTempsAndDie);
}

AtomicFile::AtomicFile(std::string path) : path_(std::move(path)), target_(path_) {}

AtomicFile::~AtomicFile() {
    if (!committed_)
        discard();
}

void AtomicFile::open() {
    if (isStdout()) {
        fd_ = STDOUT_FILENO;
        return;
    }
    struct stat st;
    if (::stat(path_.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            throw OutputError("No se puede escribir «" + path_ + "»: es una carpeta.");
        if (!S_ISREG(st.st_mode)) {
            // A device or a pipe (/dev/null, /dev/stdout) is written as it is: renaming a file
            // onto it would replace it.
            fd_ = ::open(path_.c_str(), O_WRONLY | O_CLOEXEC);
            if (fd_ < 0)
                throw OutputError("No se puede escribir «" + path_ + "»: " + reason() + ".");
            direct_ = true;
            return;
        }
        // Through a link the file it points to is replaced, and the link stays.
        std::error_code ec;
        if (std::filesystem::is_symlink(path_, ec))
            if (auto real = std::filesystem::canonical(path_, ec); !ec)
                target_ = real.string();
    }
    fd_ = openUnnamed(directoryOf(target_));
    if (fd_ >= 0)
        return;
    tempPath_ = createTempBeside(target_);
    fd_ = ::open(tempPath_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd_ < 0)
        throw OutputError("No se puede escribir «" + path_ + "»: " + reason() + ".");
}

void AtomicFile::commit() {
    if (committed_)
        return;
    if (isStdout() || direct_) {
        committed_ = true;
        if (direct_ && ::close(fd_) != 0) {
            fd_ = -1;
            throw OutputError("No se puede escribir «" + path_ + "»: " + reason() + ".");
        }
        fd_ = -1;
        return;
    }
    if (tempPath_.empty()) {
        // Give the unnamed file a hidden name first: linkat cannot replace an existing file.
        const std::string procPath = "/proc/self/fd/" + std::to_string(fd_);
        for (int attempt = 0; attempt < 100 && tempPath_.empty(); ++attempt) {
            std::string name = candidateTempName(target_);
            registered_ = registerTemp(name);
            if (::linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) ==
                0) {
                tempPath_ = std::move(name);
                break;
            }
            unregisterTemp(registered_);
            registered_ = -1;
            if (errno != EEXIST)
                throw OutputError("No se puede escribir «" + path_ + "»: " + reason() + ".");
        }
    }
    if (::close(fd_) != 0) {
        fd_ = -1;
        throw OutputError("No se puede escribir «" + path_ + "»: " + reason() + ".");
    }
    fd_ = -1;
    if (::rename(tempPath_.c_str(), target_.c_str()) != 0)
        throw OutputError("No se puede escribir «" + path_ + "»: " + reason() + ".");
    releaseTempName(tempPath_);
    unregisterTemp(registered_);
    tempPath_.clear();
    committed_ = true;
}

void AtomicFile::discard() {
    if (fd_ >= 0 && fd_ != STDOUT_FILENO)
        ::close(fd_);
    fd_ = -1;
    if (!tempPath_.empty()) {
        ::unlink(tempPath_.c_str());
        releaseTempName(tempPath_);
        unregisterTemp(registered_);
    }
}

BufferedWriter::BufferedWriter(int fd, std::string name) : fd_(fd), name_(std::move(name)) {
    buffer_.reserve(kCapacity);
}

BufferedWriter::~BufferedWriter() = default;

void BufferedWriter::flushBuffer() {
    const char* p = buffer_.data();
    std::size_t left = buffer_.size();
    while (left > 0) {
        const ssize_t n = ::write(fd_, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw OutputError("No se puede escribir «" + name_ + "»: " + reason() + ".");
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    buffer_.clear();
}

} // namespace tresol::batch
