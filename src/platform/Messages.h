#pragma once

#include <string>
#include <vector>

namespace tresol::platform {

enum class MsgIcon { Critical, Information, None };

// Where the user-facing messages of the library go. The application installs a sink that shows
// a modal box titled "Tresol"; tests install a recording sink; by default they go to stderr.
// Each thread has its own sink in force: a design run on one thread records its messages without
// another thread's run seeing them, and a thread that installs nothing writes to stderr.
class MessageSink {
  public:
    virtual ~MessageSink() = default;
    virtual void show(const std::string& text, MsgIcon icon) = 0;
};

// The sink in force on the calling thread.
MessageSink& messages();

// Installs `sink` for the calling thread (not owned; nullptr restores the default) and returns
// the one it replaces.
MessageSink* installMessageSink(MessageSink* sink);

// Shorthand for the most common case: a critical-error message.
inline void showError(const std::string& text) {
    messages().show(text, MsgIcon::Critical);
}

// Keeps every message shown on its thread while it is installed; restores the previous sink when
// destroyed, which must happen on the thread that made it (a scope's lifetime does that).
class RecordingSink : public MessageSink {
  public:
    struct Entry {
        std::string text;
        MsgIcon icon;
    };

    RecordingSink();
    ~RecordingSink() override;
    RecordingSink(const RecordingSink&) = delete;
    RecordingSink& operator=(const RecordingSink&) = delete;

    void show(const std::string& text, MsgIcon icon) override;

    const std::vector<Entry>& entries() const { return entries_; }
    std::vector<std::string> texts() const;
    void clear() { entries_.clear(); }

  private:
    std::vector<Entry> entries_;
    MessageSink* previous_;
};

} // namespace tresol::platform
