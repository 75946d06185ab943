#pragma once

#include "platform/Messages.h"

#include <QObject>

#include <string>
#include <vector>

namespace tresol::app {

// Shows the library's messages in a modal box titled "Tresol" with an OK button.
//
// Messages raised while one user action is handled are gathered and shown when control returns
// to the event loop, so that a burst of identical messages (one per refused bar, say) becomes a
// single box that says how many times it was raised. Different messages keep their order.
class QtMessageSink : public QObject, public platform::MessageSink {
    Q_OBJECT
  public:
    void show(const std::string& text, platform::MsgIcon icon) override;

    // Shows what is pending now.
    void flush();

    // The text a collapsed run of `count` identical messages is shown with.
    static std::string collapsedText(const std::string& text, int count);

  protected:
    // Shows one box and returns when the user dismissed it.
    virtual void present(const std::string& text, platform::MsgIcon icon);

  private:
    struct Pending {
        std::string text;
        platform::MsgIcon icon;
        int count;
    };
    std::vector<Pending> pending_;
    bool scheduled_ = false;
    bool flushing_ = false;
};

} // namespace tresol::app
