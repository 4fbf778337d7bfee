// Recording fakes of the platform ports, for tests of any core action.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "model/ports.h"

namespace kestra::testing {

class FakeKeyboard : public KeyboardPort {
  public:
    bool shift = false;
    bool shiftDown() const override { return shift; }
};

// Answers each dialog with the next scripted bit text; with no answer left it cancels ("--").
class FakeBitDialog : public BitDialogPort {
  public:
    struct Call {
        BitKind kind;
        std::string bits;
    };
    std::deque<std::string> answers;
    std::vector<Call> calls;
    std::string editBits(BitKind kind, const std::string& bits) override {
        calls.push_back({kind, bits});
        if (answers.empty()) return "--";
        std::string answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

class FakeMessages : public MessagePort {
  public:
    struct Box {
        std::string title;
        std::string text;
        bool operator==(const Box&) const = default;
    };
    std::vector<Box> boxes;
    std::vector<Box> questions;
    bool answer = true;  // what confirm() returns
    void messageBox(const std::string& title, const std::string& text) override {
        boxes.push_back({title, text});
    }
    bool confirm(const std::string& title, const std::string& text) override {
        questions.push_back({title, text});
        return answer;
    }
};

// Each box as "TITLE: TEXT", for tests that compare whole lists; questions get `answer`.
class RecordingMessages : public MessagePort {
  public:
    bool answer = true;
    void messageBox(const std::string& title, const std::string& text) override {
        boxes.push_back(title + ": " + text);
    }
    bool confirm(const std::string&, const std::string&) override { return answer; }
    std::vector<std::string> boxes;
};

class FakeSound : public SoundPort {
  public:
    int plays = 0;
    void playErrorSound() override { ++plays; }
};

}  // namespace kestra::testing
