#pragma once

#include <vector>

#include "controls/MessageBox.h"

namespace vornex::test {

// Records every message box shown while it lives, instead of opening a modal box.
class MessageRecorder {
public:
    MessageRecorder() {
        previous_ = SetMessageSink([this](const MessageRecord& m) { messages.push_back(m); });
    }
    ~MessageRecorder() { SetMessageSink(previous_); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    std::vector<MessageRecord> messages;

private:
    MessageSink previous_;
};

}  // namespace vornex::test
