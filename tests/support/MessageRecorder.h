#pragma once

#include <deque>
#include <vector>

#include "controls/MessageBox.h"

namespace vornex::test {

// Records every message box shown while it lives, instead of opening a modal box. Questions are
// answered from `answers` in order, and closed without a choice once it is empty.
class MessageRecorder {
public:
    MessageRecorder() {
        previous_ = SetMessageSink([this](const MessageRecord& m) {
            messages.push_back(m);
            if (m.buttons.isEmpty() || answers.empty())
                return -1;
            const int answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }
    ~MessageRecorder() { SetMessageSink(previous_); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    std::vector<MessageRecord> messages;
    std::deque<int> answers;

private:
    MessageSink previous_;
};

}  // namespace vornex::test
