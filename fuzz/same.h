// Comparison of a production result with the reference's, for the
// differential targets.
#ifndef ZHILAN_FUZZ_SAME_H_
#define ZHILAN_FUZZ_SAME_H_

#include <cstdint>
#include <string>
#include <type_traits>

#include "fuzz/input.h"
#include "text/text.h"

namespace zl::fuzz {

template <typename T>
inline std::string value(const T& v) {
  if constexpr (std::is_same_v<T, int32_t>) {
    return std::to_string(v);
  } else if constexpr (std::is_same_v<T, zl::TextArray>) {
    return show(v);
  } else {
    return hex(v);
  }
}

// `args` describes the call; it runs only when the results differ.
template <typename Args, typename T>
inline void same(const char* op, Args args, const T& got, const T& want) {
  check(got == want, [&] {
    return std::string(op) + "(" + args() + ")\n  production: " + value(got) +
           "\n  reference:  " + value(want);
  });
}

}  // namespace zl::fuzz

#endif  // ZHILAN_FUZZ_SAME_H_
