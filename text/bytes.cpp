// Byte sequences and their conversion to and from text.
#include <algorithm>
#include <cstring>

#include "text/text.h"

namespace zl {

int32_t bytes_len(const Bytes& b) { return static_cast<int32_t>(b.size()); }

Bytes text_to_bytes(std::string_view t) { return Bytes(t.begin(), t.end()); }

Text bytes_to_text(const Bytes& b) {
  if (b.empty()) return Text();
  const char* p = reinterpret_cast<const char*>(b.data());
  const void* zero = std::memchr(p, 0, b.size());
  const size_t n = zero ? static_cast<size_t>(static_cast<const char*>(zero) - p)
                        : b.size();
  return Text(p, n);
}

Text bytes_to_text(Bytes&& b) {
  Text out = bytes_to_text(static_cast<const Bytes&>(b));
  // A vector's buffer cannot become a string's; give it back at once so a
  // large body is not held twice for longer than the copy.
  Bytes().swap(b);
  return out;
}

Bytes bytes_left(const Bytes& b, int32_t n) {
  if (n <= 0) return Bytes();
  const size_t k = std::min(static_cast<size_t>(n), b.size());
  return Bytes(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(k));
}

Bytes blank_bytes(int32_t n) {
  if (n <= 0) return Bytes();
  return Bytes(static_cast<size_t>(n), 0);
}

Bytes bytes_concat(std::initializer_list<const Bytes*> parts) {
  size_t total = 0;
  for (const Bytes* p : parts) {
    if (p) total += p->size();
  }
  Bytes out;
  out.reserve(total);
  for (const Bytes* p : parts) {
    if (p) out.insert(out.end(), p->begin(), p->end());
  }
  return out;
}

void bytes_append(Bytes& b, const void* data, int32_t n) {
  if (n <= 0 || data == nullptr) return;
  const unsigned char* p = static_cast<const unsigned char*>(data);
  const size_t k = static_cast<size_t>(n);
  // Growing may move the buffer, so bytes taken from b itself are copied
  // by offset after the resize.
  if (!b.empty() && p >= b.data() && p < b.data() + b.size()) {
    const size_t from = static_cast<size_t>(p - b.data());
    const size_t old = b.size();
    b.resize(old + k);
    std::memmove(b.data() + old, b.data() + from, k);
    return;
  }
  b.insert(b.end(), p, p + k);
}

}  // namespace zl
