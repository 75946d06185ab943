#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>

namespace tresol::batch {

// Progress of a run on stderr: shown only once the run has taken a second, and then updated a
// few times a second in place (members done, total when known, rate).
class Progress {
  public:
    // `enabled`: the user did not ask for quiet and stderr is a terminal.
    Progress(bool enabled, std::optional<std::int64_t> total, std::FILE* out = stderr);

    void step() {
        ++done_;
        if (enabled_ && (done_ & 63) == 0)
            maybeShow();
    }
    // Ends the line if anything was shown.
    void finish();

    std::int64_t done() const { return done_; }

  private:
    void maybeShow();
    void show(double seconds);

    using Clock = std::chrono::steady_clock;
    bool enabled_;
    std::optional<std::int64_t> total_;
    std::FILE* out_;
    Clock::time_point start_;
    Clock::time_point lastShown_;
    std::int64_t done_ = 0;
    bool shown_ = false;
};

} // namespace tresol::batch
