// Argument decoding and failure reporting shared by the fuzz targets.
//
// Layout of an input (what FuzzedDataProvider gives): every length, number
// and choice is taken from the end of the data, the bytes of strings from
// the front. A seed is therefore "all string bytes, then all choices in
// reverse order"; fuzz/make_seeds.py writes them that way.
#ifndef ZHILAN_FUZZ_INPUT_H_
#define ZHILAN_FUZZ_INPUT_H_

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/unit/text/test_util.h"

namespace zl::fuzz {

class Input {
 public:
  Input(const uint8_t* data, size_t size) : fdp_(data, size) {}

  bool empty() { return fdp_.remaining_bytes() == 0; }
  bool flag() { return fdp_.ConsumeBool(); }
  uint8_t choice() { return fdp_.ConsumeIntegral<uint8_t>(); }

  // Up to `max` bytes (length first, from the end; then the bytes).
  std::string text(size_t max) {
    const size_t n = fdp_.ConsumeIntegralInRange<size_t>(0, max);
    return fdp_.ConsumeBytesAsString(n);
  }

  std::vector<unsigned char> bytes(size_t max) {
    const std::string s = text(max);
    return std::vector<unsigned char>(s.begin(), s.end());
  }

  // A position, length or count. One byte: mostly small values around the
  // lengths in play, sometimes the extremes where 32-bit sums overflow.
  int32_t number() {
    const uint8_t b = choice();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    if (b < 0xE0) return static_cast<int32_t>(b) - 8;  // -8 .. 215
    if (b < 0xF0) return fdp_.ConsumeIntegral<int32_t>();
    if (b < 0xF8) return kMin + (b - 0xF0);
    return kMax - (b - 0xF8);
  }

  // Omitted or given: the two states are different arguments.
  std::optional<int32_t> maybe_number() {
    if (flag()) return std::nullopt;
    return number();
  }

  FuzzedDataProvider& raw() { return fdp_; }

 private:
  FuzzedDataProvider fdp_;
};

// Arguments and results for the failure report, in the tests' own form.
inline std::string hex(std::string_view s) { return zl::testing::show(s); }

inline std::string hex(const std::vector<unsigned char>& b) {
  return hex(std::string_view(reinterpret_cast<const char*>(b.data()), b.size()));
}

inline std::string show(std::optional<int32_t> v) {
  return v ? std::to_string(*v) : std::string("omitted");
}

inline std::string show(std::optional<std::string_view> v) {
  return v ? hex(*v) : std::string("omitted");
}

inline std::string show(const std::vector<std::string>& items) {
  std::string out = "[";
  for (size_t i = 0; i < items.size(); ++i) {
    if (i) out += ", ";
    out += hex(items[i]);
  }
  return out + "]";
}

// Prints what went wrong and aborts, which libFuzzer records as a crash with
// the input that caused it.
[[noreturn]] inline void fail(const std::string& what) {
  std::fprintf(stderr, "\n==== FUZZ CHECK FAILED ====\n%s\n", what.c_str());
  std::fflush(stderr);
  std::abort();
}

// `describe` is called only on failure: building the report on every run
// would cost more than the operation checked.
template <typename Describe>
inline void check(bool ok, Describe describe) {
  if (!ok) fail(describe());
}

}  // namespace zl::fuzz

#endif  // ZHILAN_FUZZ_INPUT_H_
