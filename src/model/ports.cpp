#include "model/ports.h"

namespace kestra {

void ErrorBox::set(const std::string& message) {
    text_ = message;
    if (onChanged) onChanged(text_);
}

void ErrorBox::report(const std::string& message) {
    history_.push_back(message);
    set(message);
    if (sound_) sound_->playErrorSound();
}

void ErrorBox::caution(const std::string& message) {
    history_.push_back(message);
    set(message);
}

void ErrorBox::clear() {
    set(std::string());
}

}  // namespace kestra
