// Cookie merge against a step-for-step model built from the reference
// primitives, plus the shape every merged cookie string must have.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/input.h"
#include "tests/unit/text/reference.h"
#include "text/text.h"
#include "web/cookies.h"

namespace {

using zl::Text;
using zl::TextArray;
using zl::fuzz::Input;
using zl::fuzz::check;
using zl::fuzz::hex;

constexpr std::string_view kJoin = "; ";

bool contains(const TextArray& items, std::string_view item) {
  for (const Text& i : items) {
    if (i == item) return true;
  }
  return false;
}

Text model_dedupe(std::string_view text, std::string_view separator) {
  TextArray seen;
  Text acc;
  for (const Text& part : zl::ref::text_split(text, separator)) {
    if (contains(seen, part)) continue;
    seen.push_back(part);
    acc += part;
    acc += separator;
  }
  return zl::ref::text_left(acc, static_cast<int32_t>(acc.size()) - static_cast<int32_t>(separator.size()));
}

// What the merge must leave in the two variables.
void model_merge(Text& cookies, Text& received) {
  cookies = zl::ref::text_strip_spaces(cookies);
  received = zl::ref::text_strip_spaces(received);
  const TextArray old = zl::ref::text_split(cookies, std::string_view(";"));
  TextArray merged = zl::ref::text_split(received, std::string_view(";"));
  for (const Text& item : old) {
    bool named = false;
    for (const Text& m : merged) {
      if (zl::ref::cookie_name(m) == zl::ref::cookie_name(item)) named = true;
    }
    if (!named) merged.push_back(item);
  }
  Text joined;
  for (const Text& item : merged) {
    if (zl::ref::text_right(item, 8) == "=deleted") continue;
    joined += item;
    joined += kJoin;
  }
  joined = zl::ref::text_left(joined, static_cast<int32_t>(joined.size()) - 2);
  cookies = model_dedupe(joined, kJoin);
}

// Items as a cookie jar writes them, with the names and values that make
// items collide: shared names, "deleted", empty items, spaces.
std::string cookie_string(Input& in) {
  if (in.flag()) return in.text(512);
  static const char* const kNames[] = {"a", "A", "sid", "", " a ", "x\xA1\xA1y"};
  static const char* const kValues[] = {"1", "2", "deleted", "", "hello world", "=deleted",
                                        "\xB0\xA1", "v=w"};
  std::string s;
  const int n = in.choice() % 8;
  for (int i = 0; i < n; ++i) {
    if (i) s += in.flag() ? "; " : ";";
    s += kNames[in.choice() % 6];
    if (in.flag()) {
      s += "=";
      s += kValues[in.choice() % 8];
    }
  }
  if (in.flag()) s += ";";
  return s;
}

void check_merge(Input& in) {
  const Text cookies_in = cookie_string(in);
  const Text received_in = cookie_string(in);
  Text cookies = cookies_in;
  Text received = received_in;
  const Text result = zl::merge_cookies(cookies, received);
  Text want_cookies = cookies_in;
  Text want_received = received_in;
  model_merge(want_cookies, want_received);

  const auto about = [&](const char* what) {
    return std::string(what) + "\n  cookies in:  " + hex(cookies_in) +
           "\n  received in: " + hex(received_in) + "\n  cookies out: " + hex(cookies) +
           "\n  received out: " + hex(received) + "\n  model cookies:  " +
           hex(want_cookies) + "\n  model received: " + hex(want_received);
  };
  check(cookies == want_cookies, [&] { return about("merged cookies differ from the model"); });
  check(received == want_received, [&] { return about("received cookies differ from the model"); });
  check(result == cookies, [&] { return about("the returned copy is not the new cookies"); });

  check(zl::ref::text_strip_spaces(received) == received,
        [&] { return about("received cookies keep a space"); });
  const TextArray items = zl::ref::text_split(cookies, kJoin);
  TextArray seen;
  for (const Text& item : items) {
    check(zl::ref::text_right(item, 8) != "=deleted",
          [&] { return about("a deleted cookie survived") + "\n  item: " + hex(item); });
    check(!contains(seen, item),
          [&] { return about("an item appears twice") + "\n  item: " + hex(item); });
    check(zl::ref::text_strip_spaces(item) == item,
          [&] { return about("a space other than a separator") + "\n  item: " + hex(item); });
    seen.push_back(item);
  }
}

void check_dedupe(Input& in) {
  const Text text = in.text(512);
  const Text separator = in.text(4);
  const Text got = zl::dedupe_items(text, separator);
  const Text want = model_dedupe(text, separator);
  check(got == want, [&] {
    return "dedupe_items(" + hex(text) + ", " + hex(separator) + ")\n  production: " +
           hex(got) + "\n  model:      " + hex(want);
  });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in(data, size);
  if (in.flag()) {
    check_dedupe(in);
  } else {
    check_merge(in);
  }
  return 0;
}
