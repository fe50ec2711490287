// Production text primitives and extraction against the plain reference:
// each input is decoded into a run of operations with their arguments, and
// any result that differs aborts with both results. Texts past 64 KiB are
// text_long.cpp's.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "fuzz/input.h"
#include "fuzz/same.h"
#include "tests/unit/text/reference.h"
#include "text/extract.h"
#include "text/text.h"

namespace {

using zl::fuzz::Input;
using zl::fuzz::check;
using zl::fuzz::same;
using zl::fuzz::hex;
using zl::fuzz::show;

// Long enough for the searches' long-needle paths, short enough that the
// reference's quadratic scans stay fast.
constexpr size_t kMaxText = 1024;
constexpr size_t kMaxWhat = 64;
constexpr int kMaxOps = 32;

// "#引号": markers of text_between spell a double quote this way.
constexpr std::string_view kQuoteToken = "#\xD2\xFD\xBA\xC5";

// The needle: often cut from the haystack so that searches hit, sometimes
// holding the quote token; otherwise bytes of its own.
std::string needle(Input& in, const std::string& t) {
  const uint8_t how = in.choice() % 4;
  if (how == 0 && !t.empty()) {
    const size_t at = static_cast<size_t>(in.number() & 0x7FFFFFFF) % t.size();
    const size_t n = in.choice() % (kMaxWhat + 1);
    return t.substr(at, n);
  }
  if (how == 1) {
    std::string s = in.text(8);
    s.insert(in.choice() % (s.size() + 1), kQuoteToken);
    return s;
  }
  return in.text(kMaxWhat);
}

void one_operation(Input& in) {
  const uint8_t op = in.choice() % 15;
  const std::string t = in.text(kMaxText);
  const auto just_t = [&] { return hex(t); };
  switch (op) {
    case 0:
    case 1: {
      const std::string what = needle(in, t);
      const auto start = in.maybe_number();
      const bool fold = in.flag();
      const auto args = [&] {
        return hex(t) + ", " + hex(what) + ", start " + show(start) +
               (fold ? ", fold" : "");
      };
      if (op == 0) {
        same("text_find", args, zl::text_find(t, what, start, fold),
             zl::ref::text_find(t, what, start, fold));
      } else {
        same("text_find_last", args, zl::text_find_last(t, what, start, fold),
             zl::ref::text_find_last(t, what, start, fold));
      }
      break;
    }
    case 2: {
      const int32_t n = in.number();
      const auto args = [&] { return hex(t) + ", " + std::to_string(n); };
      same("text_left", args, zl::text_left(t, n), zl::ref::text_left(t, n));
      same("text_right", args, zl::text_right(t, n), zl::ref::text_right(t, n));
      break;
    }
    case 3: {
      const int32_t start = in.number();
      const int32_t n = in.number();
      const auto args = [&] {
        return hex(t) + ", " + std::to_string(start) + ", " + std::to_string(n);
      };
      same("text_mid", args, zl::text_mid(t, start, n), zl::ref::text_mid(t, start, n));
      break;
    }
    case 4:
      same("text_lower", just_t, zl::text_lower(t), zl::ref::text_lower(t));
      break;
    case 5:
      same("text_trim", just_t, zl::text_trim(t), zl::ref::text_trim(t));
      break;
    case 6:
      same("text_strip_spaces", just_t, zl::text_strip_spaces(t),
           zl::ref::text_strip_spaces(t));
      break;
    case 7: {
      const std::string what = needle(in, t);
      const std::string with_value = in.text(16);
      const std::optional<std::string_view> with =
          in.flag() ? std::nullopt : std::optional<std::string_view>(with_value);
      const auto start = in.maybe_number();
      const auto count = in.maybe_number();
      const bool case_sensitive = in.flag();
      const auto args = [&] {
        return hex(t) + ", " + hex(what) + ", with " + show(with) + ", start " +
               show(start) + ", count " + show(count) +
               (case_sensitive ? ", case-sensitive" : "");
      };
      same("text_replace", args,
           zl::text_replace(t, what, with, start, count, case_sensitive),
           zl::ref::text_replace(t, what, with, start, count, case_sensitive));
      break;
    }
    case 8: {
      // Separator omitted, explicitly empty, or given.
      const uint8_t how = in.choice() % 3;
      const std::string sep_value = how == 2 ? needle(in, t) : std::string();
      const std::optional<std::string_view> sep =
          how == 0 ? std::nullopt : std::optional<std::string_view>(sep_value);
      const auto count = in.maybe_number();
      const auto args = [&] {
        return hex(t) + ", separator " + show(sep) + ", count " + show(count);
      };
      same("text_split", args, zl::text_split(t, sep, count),
           zl::ref::text_split(t, sep, count));
      break;
    }
    case 9:
      same("text_to_int", just_t, zl::text_to_int(t), zl::ref::text_to_int(t));
      break;
    case 10: {
      const zl::Bytes b(t.begin(), t.end());
      const std::string what_text = needle(in, t);
      const zl::Bytes what(what_text.begin(), what_text.end());
      const auto start = in.maybe_number();
      const auto args = [&] {
        return hex(t) + ", " + hex(what_text) + ", start " + show(start);
      };
      same("bytes_find", args, zl::bytes_find(b, what, start),
           zl::ref::bytes_find(b, what, start));
      break;
    }
    case 11: {
      // Bytes may hold 0, where the conversion stops.
      zl::Bytes b(t.begin(), t.end());
      if (!b.empty() && in.flag()) b[in.choice() % b.size()] = 0;
      const std::string want = zl::ref::bytes_to_text(b);
      const auto args = [&] { return hex(b); };
      same("bytes_to_text", args, zl::bytes_to_text(b), want);
      zl::Bytes moved = b;
      same("bytes_to_text(rvalue)", args, zl::bytes_to_text(std::move(moved)), want);
      check(moved.empty(), [&] {
        return "bytes_to_text(rvalue) left its argument non-empty: " + hex(b);
      });
      break;
    }
    case 12: {
      const std::string left = needle(in, t);
      const std::string right = needle(in, t);
      const auto start = in.maybe_number();
      const bool case_sensitive = in.flag();
      const auto args = [&] {
        return hex(t) + ", " + hex(left) + ", " + hex(right) + ", start " +
               show(start) + (case_sensitive ? ", case-sensitive" : "");
      };
      same("text_between", args, zl::text_between(t, left, right, start, case_sensitive),
           zl::ref::text_between(t, left, right, start, case_sensitive));
      break;
    }
    case 13:
      same("header_value", just_t, zl::header_value(t), zl::ref::header_value(t));
      break;
    case 14:
      same("cookie_name", just_t, zl::cookie_name(t), zl::ref::cookie_name(t));
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in(data, size);
  for (int i = 0; i < kMaxOps && !in.empty(); ++i) one_operation(in);
  return 0;
}
