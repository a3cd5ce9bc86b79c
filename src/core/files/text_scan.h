// Reading whitespace-separated words and numbers from 8-bit text, the way a
// formatted read of a text file does it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace velmor {

class TextScanner {
 public:
  explicit TextScanner(std::string_view text) : text_(text) {}

  static constexpr bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
  }

  bool AtEnd() const { return pos_ >= text_.size(); }
  std::size_t Position() const { return pos_; }
  std::string_view Rest() const { return text_.substr(pos_); }

  // Nothing but white space up to the end of the text.
  bool OnlySpaceLeft() const {
    for (std::size_t i = pos_; i < text_.size(); ++i)
      if (!IsSpace(text_[i])) return false;
    return true;
  }

  void SkipSpace() {
    while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
  }

  // The next run of non-space characters; false at the end of the text.
  bool NextWord(std::string_view& word) {
    SkipSpace();
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !IsSpace(text_[pos_])) ++pos_;
    word = text_.substr(start, pos_ - start);
    return pos_ > start;
  }

  // An unsigned decimal number: optional sign, then digits; it ends at the
  // first non-digit, which stays unread. A minus sign wraps the value around,
  // and digits beyond 32 bits wrap as well. Without a digit nothing is
  // consumed and the result is false.
  bool NextNumber(std::uint32_t& value) {
    const std::size_t start = pos_;
    SkipSpace();
    bool negative = false;
    if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) {
      negative = text_[pos_] == '-';
      ++pos_;
    }
    std::uint32_t v = 0;
    const std::size_t digits = pos_;
    while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
      v = v * 10u + static_cast<std::uint32_t>(text_[pos_] - '0');
      ++pos_;
    }
    if (pos_ == digits) {
      pos_ = start;
      return false;
    }
    value = negative ? 0u - v : v;
    return true;
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace velmor
