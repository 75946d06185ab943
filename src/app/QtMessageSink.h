#pragma once

#include "platform/Messages.h"

class QWidget;

namespace tresol::app {

// Shows the library's messages in a modal box titled "Tresol" with an OK button.
class QtMessageSink : public platform::MessageSink {
public:
    void show(const std::string& text, platform::MsgIcon icon) override;
};

} // namespace tresol::app
