// The lines of a text one at a time, numbered for messages, without their line ends ("\n" or
// "\r\n"): the song file parts read their text this way.
#pragma once

#include <cstddef>
#include <string_view>

namespace kestra {

class TextLines {
  public:
    explicit TextLines(std::string_view text, size_t firstNumber = 1)
        : text_(text), number_(firstNumber - 1) {}
    // The next line, empty ones included; false at the end of the text.
    bool next(std::string_view& line) {
        if (pos_ >= text_.size()) return false;
        size_t nl = text_.find('\n', pos_);
        line =
            text_.substr(pos_, nl == std::string_view::npos ? std::string_view::npos : nl - pos_);
        pos_ = nl == std::string_view::npos ? text_.size() : nl + 1;
        ++number_;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        return true;
    }
    // The number of the line last returned; after the end, of the line after the last.
    size_t number() const { return number_; }
    void passEnd() { ++number_; }

  private:
    std::string_view text_;
    size_t pos_ = 0;
    size_t number_;
};

}  // namespace kestra
