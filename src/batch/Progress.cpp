#include "batch/Progress.h"

namespace tresol::batch {

Progress::Progress(bool enabled, std::optional<std::int64_t> total, std::FILE* out)
    : enabled_(enabled), total_(total), out_(out), start_(Clock::now()), lastShown_(start_) {}

void Progress::maybeShow() {
    const auto now = Clock::now();
    const double seconds = std::chrono::duration<double>(now - start_).count();
    if (seconds < 1.0 || now - lastShown_ < std::chrono::milliseconds(200))
        return;
    lastShown_ = now;
    show(seconds);
}

void Progress::show(double seconds) {
    const double rate = seconds > 0 ? static_cast<double>(done_) / seconds : 0;
    if (total_)
        std::fprintf(out_, "\r%lld de %lld miembros, %.0f/s   ", static_cast<long long>(done_),
                     static_cast<long long>(*total_), rate);
    else
        std::fprintf(out_, "\r%lld miembros, %.0f/s   ", static_cast<long long>(done_), rate);
    std::fflush(out_);
    shown_ = true;
}

void Progress::finish() {
    if (!shown_)
        return;
    show(std::chrono::duration<double>(Clock::now() - start_).count());
    std::fputc('\n', out_);
    shown_ = false;
}

} // namespace tresol::batch
