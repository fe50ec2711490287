// Production searches against the plain reference on texts a little longer
// than 64 KiB: folded searches lower the text in windows of that size, so
// these put matches, needles and character boundaries across a window's
// edge. Each input is one operation; they take milliseconds each, which is
// why they are not part of text_diff.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz/input.h"
#include "fuzz/same.h"
#include "tests/unit/text/reference.h"
#include "text/text.h"

namespace {

using zl::fuzz::Input;
using zl::fuzz::hex;
using zl::fuzz::same;
using zl::fuzz::show;

constexpr size_t kWindowEdge = 64 * 1024;
constexpr size_t kMaxWhat = 64;

// A text just past the edge, made of one repeated piece with a patch near
// the edge, searched for a needle cut from around the edge.
void long_text_operation(Input& in) {
  std::string piece = in.text(kMaxWhat);
  if (piece.empty()) piece = "aA\xB0";
  const size_t size = kWindowEdge - 300 + in.choice() * 3u;
  std::string t = piece;
  while (t.size() < size) t += t;
  t.resize(size);
  const std::string patch = in.text(kMaxWhat);
  const size_t at = kWindowEdge - kMaxWhat + in.choice() % (2 * kMaxWhat);
  t.replace(std::min(at, t.size()), patch.size(), patch);

  const size_t from = kWindowEdge - kMaxWhat + in.choice() % (2 * kMaxWhat);
  const std::string what = t.substr(std::min(from, t.size()), in.choice() % (kMaxWhat + 1));
  const auto start = in.maybe_number();
  const bool fold = in.flag();
  const auto args = [&] {
    return "long text of " + std::to_string(t.size()) + " bytes: " + hex(piece) +
           " repeated, " + hex(patch) + " at " + std::to_string(at) + "; " + hex(what) +
           ", start " + show(start) + (fold ? ", fold" : "");
  };
  switch (in.choice() % 5) {
    case 0:
      same("text_find", args, zl::text_find(t, what, start, fold),
           zl::ref::text_find(t, what, start, fold));
      break;
    case 1:
      same("text_find_last", args, zl::text_find_last(t, what, start, fold),
           zl::ref::text_find_last(t, what, start, fold));
      break;
    case 2: {
      const std::optional<std::string_view> with("#");
      const auto count = in.maybe_number();
      same("text_replace", args, zl::text_replace(t, what, with, start, count, !fold),
           zl::ref::text_replace(t, what, with, start, count, !fold));
      break;
    }
    case 3:
      same("text_split", args, zl::text_split(t, what), zl::ref::text_split(t, what));
      break;
    case 4: {
      const zl::Bytes b(t.begin(), t.end());
      const zl::Bytes w(what.begin(), what.end());
      same("bytes_find", args, zl::bytes_find(b, w, start), zl::ref::bytes_find(b, w, start));
      break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in(data, size);
  long_text_operation(in);
  return 0;
}
