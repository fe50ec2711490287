// Production against the plain reference on pseudo-random inputs drawn from
// a small alphabet rich in the bytes the rules care about: letters of both
// cases, spaces, separators, lead bytes (A1 A1 is the full-width space, A3
// starts the full-width forms) and line breaks.
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "tests/unit/text/reference.h"
#include "tests/unit/text/test_util.h"
#include "text/extract.h"
#include "text/text.h"

namespace zl {
namespace {

using testing::show;

constexpr int kRounds = 4000;

// splitmix64: fixed seed, same sequence on every platform.
class Rng {
 public:
  explicit Rng(uint64_t seed) : s_(seed) {}
  uint64_t next() {
    uint64_t z = (s_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  int below(int n) { return static_cast<int>(next() % static_cast<uint64_t>(n)); }
  bool coin() { return below(2) == 0; }

  std::string text(int max_len) {
    static const unsigned char kAlphabet[] = {'a', 'A', 'b', ' ', ',', 0xA1, 0xB0,
                                              0xA3, '#', ':', '\r', '\n', '7', '-',
                                              '"'};
    const int n = below(max_len + 1);
    std::string s;
    for (int i = 0; i < n; ++i) {
      s.push_back(static_cast<char>(kAlphabet[below(sizeof kAlphabet)]));
    }
    return s;
  }

  // Often a piece of `t`, so that searches hit; otherwise random.
  std::string needle(const std::string& t, int max_len) {
    if (!t.empty() && below(3) != 0) {
      const int at = below(static_cast<int>(t.size()));
      const int n = below(max_len + 1);
      return t.substr(static_cast<size_t>(at), static_cast<size_t>(n));
    }
    return text(max_len);
  }

  std::optional<int32_t> position(const std::string& t) {
    if (below(3) == 0) return std::nullopt;
    return below(static_cast<int>(t.size()) + 6) - 2;
  }

  std::optional<int32_t> count() {
    if (coin()) return std::nullopt;
    return below(5) - 1;
  }

 private:
  uint64_t s_;
};

TEST(TextDifferential, Find) {
  Rng rng(1);
  for (int i = 0; i < kRounds; ++i) {
    const std::string t = rng.text(24);
    const std::string what = rng.needle(t, 4);
    const auto start = rng.position(t);
    const bool fold = rng.coin();
    SCOPED_TRACE(show(t) + " " + show(what) + " start " + show(start) +
                 (fold ? " folded" : ""));
    EXPECT_EQ(text_find(t, what, start, fold), ref::text_find(t, what, start, fold));
    EXPECT_EQ(text_find_last(t, what, start, fold),
              ref::text_find_last(t, what, start, fold));
  }
}

TEST(TextDifferential, Replace) {
  Rng rng(2);
  for (int i = 0; i < kRounds; ++i) {
    const std::string t = rng.text(24);
    const std::string what = rng.needle(t, 3);
    const std::optional<std::string> with =
        rng.coin() ? std::optional<std::string>(rng.text(3)) : std::nullopt;
    const auto start = rng.position(t);
    const auto count = rng.count();
    const bool case_sensitive = rng.coin();
    std::optional<std::string_view> w;
    if (with) w = *with;
    SCOPED_TRACE(show(t) + " " + show(what) + " with " + (with ? show(*with) : "omitted") +
                 " start " + show(start) + " count " + show(count) +
                 (case_sensitive ? " exact" : " folded"));
    EXPECT_EQ(text_replace(t, what, w, start, count, case_sensitive),
              ref::text_replace(t, what, w, start, count, case_sensitive));
  }
}

TEST(TextDifferential, Split) {
  Rng rng(3);
  for (int i = 0; i < kRounds; ++i) {
    const std::string t = rng.text(24);
    const std::optional<std::string> sep =
        rng.below(4) == 0 ? std::nullopt : std::optional<std::string>(rng.needle(t, 2));
    const auto count = rng.count();
    std::optional<std::string_view> s;
    if (sep) s = *sep;
    SCOPED_TRACE(show(t) + " separator " + (sep ? show(*sep) : "omitted") + " count " +
                 show(count));
    EXPECT_EQ(text_split(t, s, count), ref::text_split(t, s, count));
  }
}

TEST(TextDifferential, SpacesLowerNumber) {
  Rng rng(4);
  for (int i = 0; i < kRounds; ++i) {
    const std::string t = rng.text(16);
    SCOPED_TRACE(show(t));
    EXPECT_EQ(text_trim(t), ref::text_trim(t));
    EXPECT_EQ(text_strip_spaces(t), ref::text_strip_spaces(t));
    EXPECT_EQ(text_lower(t), ref::text_lower(t));
    EXPECT_EQ(text_to_int(t), ref::text_to_int(t));
  }
}

TEST(TextDifferential, Between) {
  const std::string token = "#\xD2\xFD\xBA\xC5";  // "#引号"
  Rng rng(5);
  for (int i = 0; i < kRounds; ++i) {
    const std::string source = rng.text(24);
    std::string left = rng.needle(source, 3);
    std::string right = rng.needle(source, 2);
    if (rng.below(4) == 0) left += token;
    if (rng.below(4) == 0) right = token + right;
    const auto start = rng.position(source);
    const bool case_sensitive = rng.coin();
    SCOPED_TRACE(show(source) + " " + show(left) + " " + show(right) + " start " +
                 show(start) + (case_sensitive ? " exact" : " folded"));
    EXPECT_EQ(text_between(source, left, right, start, case_sensitive),
              ref::text_between(source, left, right, start, case_sensitive));
  }
}

std::string repeat(std::string_view unit, size_t times) {
  std::string s;
  for (size_t i = 0; i < times; ++i) s.append(unit);
  return s;
}

// Long inputs that defeat a plain candidate search: long runs of lead
// bytes, candidates that all fall on second bytes, periodic needles with
// thousands of overlapping matches, and matches across the boundaries of
// the folded search's windows.
TEST(TextDifferential, LongAndPathological) {
  struct Case {
    const char* name;
    std::string t;
    std::string what;
  };
  const Case cases[] = {
      {"periodic needle, overlapping matches", repeat("a", 20000), repeat("a", 300)},
      {"periodic needle, mixed case", repeat("aA", 10000), repeat("Aa", 150)},
      {"every candidate on a second byte", repeat("\xB0\xA1", 10000),
       repeat("\xA1\xB0", 100)},
      {"every candidate on a second byte, shifted", "x" + repeat("\xB0\xA1", 10000),
       repeat("\xA1\xB0", 100)},
      {"lead-byte run, then the match", repeat("\xB0", 30001) + "abc", "\xB0" "abc"},
      {"near miss repeated", repeat(repeat("a", 99) + "b", 200), repeat("a", 100)},
      {"letter hidden in second bytes", repeat("\xB0" "a", 40000) + "a", "A"},
      {"match across a folded window", repeat("x", 65533) + "NeedLE" + repeat("y", 10),
       "needle"},
      {"match ending at a folded window", repeat("x", 65530) + "NEEDLE", "needle"},
      {"separator-dense text", repeat("\r\n", 5000), "\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (bool fold : {false, true}) {
      SCOPED_TRACE(fold ? "folded" : "exact");
      EXPECT_EQ(text_find(c.t, c.what, std::nullopt, fold),
                ref::text_find(c.t, c.what, std::nullopt, fold));
      EXPECT_EQ(text_find(c.t, c.what, 7, fold), ref::text_find(c.t, c.what, 7, fold));
      EXPECT_EQ(text_find_last(c.t, c.what, std::nullopt, fold),
                ref::text_find_last(c.t, c.what, std::nullopt, fold));
      EXPECT_EQ(text_replace(c.t, c.what, std::string_view("#"), std::nullopt,
                             std::nullopt, !fold),
                ref::text_replace(c.t, c.what, std::string_view("#"), std::nullopt,
                                  std::nullopt, !fold));
    }
    EXPECT_EQ(text_split(c.t, c.what), ref::text_split(c.t, c.what));
  }
}

}  // namespace
}  // namespace zl
