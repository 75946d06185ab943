#pragma once

// What every fuzz target shares: reading typed values off the fuzzer's bytes, a message sink
// that only counts, and a check that stops the run as a finding.

#include "platform/Messages.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace tresol::fuzz {

// A finding: the fuzzer keeps the input that led here.
#define FUZZ_CHECK(cond, ...)                                                                      \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__);    \
            std::fprintf(stderr, __VA_ARGS__);                                                     \
            std::fprintf(stderr, "\n");                                                            \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

// Typed values taken off the front of the input; past its end every value is zero.
class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    template <class T> T take() {
        T v{};
        const std::size_t n = std::min(sizeof(T), size_ - pos_);
        std::memcpy(&v, data_ + pos_, n);
        pos_ += n;
        return v;
    }
    bool flag() { return (take<std::uint8_t>() & 1) != 0; }
    // A whole number in lo…hi.
    std::int64_t range(std::int64_t lo, std::int64_t hi) {
        const auto span = static_cast<std::uint64_t>(hi - lo) + 1;
        const auto r = take<std::uint32_t>();
        return lo + static_cast<std::int64_t>(span == 0 ? r : r % span);
    }
    // A text of up to `max` bytes, its length first.
    std::string text(std::size_t max) {
        const std::size_t n = std::min<std::size_t>(take<std::uint8_t>(), std::min(max, left()));
        std::string s(reinterpret_cast<const char*>(data_ + pos_), n);
        pos_ += n;
        return s;
    }
    std::string rest() {
        std::string s(reinterpret_cast<const char*>(data_ + pos_), left());
        pos_ = size_;
        return s;
    }
    std::size_t left() const { return size_ - pos_; }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// Counts the library's messages instead of writing them out (a million refused bars would
// otherwise spend the run on stderr).
class CountingSink : public platform::MessageSink {
  public:
    CountingSink() : previous_(platform::installMessageSink(this)) {}
    ~CountingSink() override { platform::installMessageSink(previous_); }
    CountingSink(const CountingSink&) = delete;
    CountingSink& operator=(const CountingSink&) = delete;
    void show(const std::string& text, platform::MsgIcon) override {
        ++count;
        last = text;
    }
    std::size_t count = 0;
    std::string last;

  private:
    platform::MessageSink* previous_;
};

} // namespace tresol::fuzz
