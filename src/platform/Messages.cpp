#include "platform/Messages.h"

#include <cstdio>

namespace tresol::platform {
namespace {

class StderrSink : public MessageSink {
  public:
    void show(const std::string& text, MsgIcon icon) override {
        const char* kind = icon == MsgIcon::Critical      ? "error"
                           : icon == MsgIcon::Information ? "info"
                                                          : "message";
        std::fprintf(stderr, "Tresol %s: %s\n", kind, text.c_str());
    }
};

// Shared by every thread: it keeps nothing, and each message is one stdio call, which stdio
// locks.
StderrSink& defaultSink() {
    static StderrSink sink;
    return sink;
}

thread_local MessageSink* current = nullptr;

} // namespace

MessageSink& messages() {
    return current ? *current : defaultSink();
}

MessageSink* installMessageSink(MessageSink* sink) {
    MessageSink* previous = current;
    current = sink;
    return previous;
}

RecordingSink::RecordingSink() : previous_(installMessageSink(this)) {}

RecordingSink::~RecordingSink() {
    installMessageSink(previous_);
}

void RecordingSink::show(const std::string& text, MsgIcon icon) {
    entries_.push_back({text, icon});
}

std::vector<std::string> RecordingSink::texts() const {
    std::vector<std::string> out;
    out.reserve(entries_.size());
    for (const auto& e : entries_)
        out.push_back(e.text);
    return out;
}

} // namespace tresol::platform
