// Reading a decimal integer.
#include "text/text.h"

namespace zl {
namespace {

// Walks t by characters, handing out bytes with the full-width forms folded
// to their one-byte counterparts; -1 at the end.
class FoldedBytes {
 public:
  explicit FoldedBytes(std::string_view t) : t_(t) {}

  int peek() {
    if (pending_ >= 0) return pending_;
    if (i_ >= t_.size()) return -1;
    const unsigned char c = byte(i_);
    if (c < 0x80 || i_ + 1 >= t_.size()) {
      pending_ = c;
      step_ = 1;
    } else {
      const unsigned char d = byte(i_ + 1);
      if (c == 0xA3 && d >= 0xA1 && d <= 0xFE) {
        pending_ = d - 0x80;
        step_ = 2;
      } else if (c == 0xA1 && d == 0xA1) {
        pending_ = 0x20;
        step_ = 2;
      } else {
        // An unfolded pair: its lead byte ends any number, so the second
        // byte is never looked at.
        pending_ = c;
        step_ = 2;
      }
    }
    return pending_;
  }

  void pop() {
    i_ += step_;
    pending_ = -1;
  }

 private:
  unsigned char byte(size_t i) const { return static_cast<unsigned char>(t_[i]); }

  std::string_view t_;
  size_t i_ = 0;
  size_t step_ = 0;
  int pending_ = -1;
};

}  // namespace

int32_t text_to_int(std::string_view t) {
  FoldedBytes in(t);
  int c = in.peek();
  while (c == 0x20 || (c >= 0x09 && c <= 0x0D)) {
    in.pop();
    c = in.peek();
  }
  bool negative = false;
  if (c == '+' || c == '-') {
    negative = c == '-';
    in.pop();
    c = in.peek();
  }
  // Unsigned arithmetic wraps modulo 2^32 without undefined behaviour.
  uint32_t value = 0;
  while (c >= '0' && c <= '9') {
    value = value * 10u + static_cast<uint32_t>(c - '0');
    in.pop();
    c = in.peek();
  }
  if (negative) value = 0u - value;
  return static_cast<int32_t>(value);
}

}  // namespace zl
