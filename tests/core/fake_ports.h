// Recording fakes of the platform ports, shared by the core and the window tests.
#pragma once

#include <deque>
#include <optional>
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

// The open and save dialogs: answered with `next` and `nextSave`; what was asked is kept.
class FakeFiles : public FilePort {
  public:
    std::optional<std::string> next, nextSave;
    std::string title, filter, saveFilter, suggested;
    int saveAsked = 0;
    std::optional<std::string> chooseFile(const std::string& t, const std::string& f) override {
        title = t;
        filter = f;
        return next;
    }
    std::optional<std::string> chooseSaveFile(const std::string&, const std::string& f,
                                              const std::string& s) override {
        saveFilter = f;
        suggested = s;
        ++saveAsked;
        return nextSave;
    }
};

class FakeSound : public SoundPort {
  public:
    int plays = 0;
    void playErrorSound() override { ++plays; }
};

}  // namespace kestra::testing
