#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tresol::batch {

// An output that cannot be written; the text names the file and says why.
class OutputError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A file written under no name (or a hidden temporary one where the file system cannot do that)
// and put in place by `commit`, so that a run that fails or is stopped never leaves a half file
// behind: the previous file, if any, stays as it was. "-" is standard output, and a device or a
// pipe is written directly.
class AtomicFile {
  public:
    explicit AtomicFile(std::string path);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Throws OutputError when the file cannot be created where it must go.
    void open();
    int fd() const { return fd_; }
    const std::string& path() const { return path_; }
    bool isStdout() const { return path_ == "-"; }
    // Closes the file and gives it its name. Throws OutputError.
    void commit();

  private:
    void discard();

    std::string path_;
    std::string target_;   // the file replaced: the path, or where its link points
    std::string tempPath_; // empty while the file has no name
    int fd_ = -1;
    int registered_ = -1;
    bool committed_ = false;
    bool direct_ = false; // not a regular file: written in place
};

// A hidden name beside `path` for a file that is renamed onto `path` when complete; the file is
// created empty. Stopping the program by a signal removes it until `releaseTempName` is called.
std::string createTempBeside(const std::string& path);
void releaseTempName(const std::string& tempPath);

// Removes the temporary files still registered when the program is interrupted (SIGINT,
// SIGTERM, SIGHUP, SIGPIPE) and then ends it as the signal would.
void installInterruptCleanup();

// Writes through a buffer to a file descriptor. Throws OutputError naming `name` on failure.
class BufferedWriter {
  public:
    BufferedWriter(int fd, std::string name);
    ~BufferedWriter();
    BufferedWriter(const BufferedWriter&) = delete;
    BufferedWriter& operator=(const BufferedWriter&) = delete;

    void write(std::string_view text) {
        if (buffer_.size() + text.size() > kCapacity)
            flushBuffer();
        buffer_.append(text);
    }
    void flush() { flushBuffer(); }

  private:
    static constexpr std::size_t kCapacity = 1 << 16;
    void flushBuffer();

    int fd_;
    std::string name_;
    std::string buffer_;
};

} // namespace tresol::batch
