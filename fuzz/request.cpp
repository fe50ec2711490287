// The request routine against a scripted stand-in whose answers (header
// blocks, bodies, read pieces, failures, chains of "301" answers) come from
// the input. Checked after every call: the stand-in saw no misuse, every
// handle is closed, at most 1 + kMaxMovedFollowUps requests were made, each
// answer was followed exactly when it should be, and what the caller gets
// back is what the last answer held. The stand-in's clock moves by scripted
// amounts on sends and reads, so the call's deadline is checked too, also
// across the tick counter's wrap-around.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/input.h"
#include "platform/native/fake.h"
#include "tests/unit/text/reference.h"
#include "text/text.h"
#include "web/limits.h"
#include "web/request.h"

namespace {

using zl::Bytes;
using zl::Text;
using zl::TextArray;
using zl::fuzz::Input;
using zl::fuzz::check;
using zl::fuzz::hex;
namespace fake = zl::fake;

constexpr int kMaxScript = 14;  // more than one call can use
constexpr size_t kHeaderBuffer = 5000;

std::string pick(Input& in, std::initializer_list<const char*> options) {
  return *(options.begin() + in.choice() % options.size());
}

std::string address(Input& in) {
  if (in.choice() % 4 == 0) return in.text(300);
  std::string url = pick(in, {"http://", "https://", "HTTP://", "", "http://a.b/?u=http://"});
  url += pick(in, {"h", "a.example", "Srv.A.B", "t", "x\xB0\xA1"});
  if (in.flag()) url += ":" + std::to_string(in.number());
  if (in.flag()) url += "/" + in.text(60);
  return url;
}

std::string header_line(Input& in) {
  switch (in.choice() % 8) {
    case 0:
      return "Location: " + address(in);
    case 1:
      return pick(in, {"Location:", "Location:  ", "Content-Location: /c", "location: http://l"});
    case 2: {
      const std::string value = in.text(40);
      return "Set-Cookie: " + value + pick(in, {"; path=/", "", ";"});
    }
    case 3:
      return pick(in, {"Set-Cookie: a=1; path=/", "Set-Cookie: sid=deleted; x",
                       "Set-Cookie: b=2 3;", "Set-Cookie", "X-Set-Cookie:;"});
    case 4:
      return pick(in, {"Content-Type: text/html; charset=UTF-8", "Content-Type: text/html",
                       "Content-Type: text/html; charset=gbk"});
    default:
      return in.text(80);
  }
}

std::optional<std::string> header_block(Input& in) {
  const uint8_t how = in.choice() % 8;
  if (how == 0) return std::nullopt;
  if (how == 1) return in.text(6000);  // also blocks that do not fit the buffer
  std::string block = pick(in, {"HTTP/1.1 301 Moved Permanently", "HTTP/1.1 301 moved",
                                "HTTP/1.1 200 OK", "HTTP/1.0 301 Moved", "HTTP/1.1 302 Found",
                                "HTTP/1.1 301 Moved", "http/1.1 301 Moved"});
  block += "\r\n";
  const int lines = in.choice() % 6;
  for (int i = 0; i < lines; ++i) block += header_line(in) + "\r\n";
  if (in.choice() % 8 == 0) block += std::string(in.choice() * 24u, 'p');  // near 5000
  return block + "\r\n";
}

// How long a send or a read takes: mostly nothing, sometimes just short of,
// at or past the timeouts and the call's budget.
uint32_t duration(Input& in) {
  static const uint32_t kSteps[] = {0, 1, 999, 5000, 14999, 29999, 30000, 0xFFFFFFFFu};
  const uint8_t b = in.choice();
  return b < 0xC0 ? 0 : kSteps[b % 8];
}

uint32_t start_clock(Input& in) {
  switch (in.choice() % 4) {
    case 0:
      return 0;
    case 1:
      return 0xFFFFFFFFu - in.choice() * 256u;  // wraps during the call
    case 2:
      return in.raw().ConsumeIntegral<uint32_t>();
    default:
      return 1000;
  }
}

fake::Exchange exchange(Input& in) {
  fake::Exchange e;
  const uint8_t fails = in.choice();
  e.fail_open = fails == 1;
  e.fail_connect = fails == 2;
  e.fail_request = fails == 3;
  e.fail_send = fails == 4;
  e.headers = header_block(in);
  if (in.flag()) {
    e.body = in.bytes(3000);
  } else {
    // A body that names its charset, at a place near the 499-byte limit.
    const size_t pairs = in.choice();
    const size_t odd = in.choice() % 4;
    e.body = Bytes(pairs * 2 + odd, 'b');
    for (char c : std::string_view("utf-8")) e.body.push_back(static_cast<unsigned char>(c));
    const Bytes tail = in.bytes(200);
    e.body.insert(e.body.end(), tail.begin(), tail.end());
  }
  const int pieces = in.choice() % 6;
  for (int i = 0; i < pieces; ++i) {
    e.pieces.push_back(in.flag() ? in.choice() : static_cast<uint32_t>(in.number()));
  }
  e.fail_read_at = in.choice() % 4 == 0 ? in.choice() % 6 : -1;
  e.send_ms = duration(in);
  e.read_ms = duration(in);
  return e;
}

// What the routine holds as the raw header block after its query.
Text raw_block(const fake::Exchange& e) {
  if (e.fail_send || !e.headers || e.headers->size() + 1 > kHeaderBuffer) {
    return Text(kHeaderBuffer, ' ');
  }
  return e.headers->substr(0, e.headers->find('\0'));
}

// The answer is a "301" that names where to go.
bool followed(const Text& raw) {
  bool has_location = false;
  for (const Text& line : zl::ref::text_split(raw, std::string_view("\r\n"))) {
    if (zl::ref::text_find(line, "Location:") != -1) {
      has_location = !zl::ref::header_value(line).empty();
    }
  }
  return has_location && zl::ref::text_between(raw, "HTTP/1.1 ", " Moved") == "301";
}

// Milliseconds since the call began, as the tick counter's difference.
uint32_t elapsed(uint32_t now, uint32_t start) { return now - start; }

// How many body bytes the server offers before it stops: pieces of at most
// 1024 bytes, each cut to its scripted size, up to a piece of 0, the end of
// the body or the failing read.
size_t body_length(const fake::Exchange& e) {
  size_t pos = 0;
  size_t piece = 0;
  for (int read = 0;; ++read) {
    if (e.fail_send || read == e.fail_read_at) break;
    size_t n = std::min<size_t>(1024, e.body.size() - pos);
    if (piece < e.pieces.size()) n = std::min<size_t>(n, e.pieces[piece++]);
    if (n == 0) break;
    pos += n;
  }
  return pos;
}

bool names_utf8(const Bytes& body, const Text& raw) {
  const int32_t at = zl::ref::bytes_find(body, Bytes{'u', 't', 'f', '-', '8'});
  return (at >= 1 && at <= 499) || zl::ref::text_find(raw, "utf-8", std::nullopt, true) != -1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in(data, size);
  const Text url = address(in);

  // Each optional variable given or not, with a starting value.
  Text post_text = in.text(20), cookies = in.text(60), received = in.text(20),
       request_headers = in.flag() ? in.text(120) : "User-Agent: fz\r\nX: 1",
       location = in.flag() ? Text() : in.text(30), proxy = in.text(20), raw = in.text(10);
  Bytes post_bytes = in.bytes(20);
  zl::RequestOptions options;
  options.method = in.choice() % 3;
  options.no_redirect = in.flag();
  const uint8_t given = in.choice();
  if (given & 1) options.post_text = &post_text;
  if (given & 2) options.cookies = &cookies;
  if (given & 4) options.received_cookies = &received;
  if (given & 8) options.request_headers = &request_headers;
  if (given & 16) options.location = &location;
  if (given & 32) options.post_bytes = &post_bytes;
  if (given & 64) options.proxy = &proxy;
  if (given & 128) options.raw_headers = &raw;

  const uint32_t start = start_clock(in);
  fake::reset();
  fake::set_now(start);
  std::vector<fake::Exchange> script;
  const int n = 1 + in.choice() % kMaxScript;
  for (int i = 0; i < n; ++i) script.push_back(exchange(in));
  for (const fake::Exchange& e : script) fake::add_exchange(e);

  const Text result = zl::web_request(url, options);

  const fake::Log& log = fake::log();
  const auto about = [&](const std::string& what) {
    std::string s = what + "\n  url: " + hex(url) + "\n  calls:";
    for (const std::string& call : log.sequence) s += " " + call;
    s += "\n  problems:";
    for (const std::string& p : fake::problems()) s += "\n    " + p;
    return s;
  };
  check(fake::problems().empty(), [&] { return about("the stand-in was misused"); });
  check(fake::open_handles() == 0, [&] {
    return about(std::to_string(fake::open_handles()) + " handles left open");
  });
  const size_t max_requests = 1 + zl::kMaxMovedFollowUps;
  check(log.opens.size() <= max_requests && log.requests.size() <= max_requests, [&] {
    return about(std::to_string(log.opens.size()) + " internet handles and " +
                 std::to_string(log.requests.size()) + " requests in one call");
  });

  // What goes out on the request and connection lines never breaks a line:
  // the address is percent-encoded, the agent cut at its line's end.
  const auto no_break = [](const std::optional<std::string>& s) {
    return !s || s->find_first_of("\r\n") == std::string::npos;
  };
  for (const fake::OpenCall& o : log.opens) {
    check(!o.agent || o.agent->find("\r\n") == std::string::npos,
          [&] { return about("user agent with a line break: " + hex(*o.agent)); });
  }
  for (const fake::ConnectCall& c : log.connects) {
    check(no_break(c.server), [&] { return about("host with a line break: " + hex(*c.server)); });
  }
  for (const fake::RequestCall& r : log.requests) {
    check(no_break(r.object), [&] { return about("path with a line break: " + hex(*r.object)); });
    check(r.verb == std::string(options.method == 1 ? "POST" : "GET"),
          [&] { return about("verb " + hex(r.verb.value_or("(null)"))); });
  }
  for (const fake::SendCall& c : log.sends) {
    check(c.headers.size() == c.headers_length && (options.method != 0 || c.optional_null),
          [&] { return about("send of " + hex(c.headers) + " with length " +
                             std::to_string(c.headers_length)); });
  }
  if (options.request_headers && !log.sends.empty()) {
    check(request_headers == log.sends.back().headers, [&] {
      return about("request headers " + hex(request_headers) + " but sent " +
                   hex(log.sends.back().headers));
    });
  }

  // Every answer but the last was followed; the last was not, unless the
  // next attempt failed to open, to connect or to reach the server's port.
  bool answered = false;
  uint32_t clock = start;
  for (size_t i = 0; i < log.requests.size(); ++i) {
    const fake::RequestCall& r = log.requests[i];
    if (r.result == nullptr) {
      check(i + 1 == log.requests.size(), [&] { return about("a request went on after a failed open"); });
      break;
    }
    const fake::Exchange& e = script[static_cast<size_t>(r.exchange)];
    const Text block = raw_block(e);
    // The clock moves on by the send and by each read the log shows; no read
    // may start once the budget is spent, and while time is left the body
    // is read to its end.
    clock += e.send_ms;
    uint32_t reads = 0;
    size_t got = 0;
    for (const fake::ReadCall& read : log.reads) {
      if (read.request != r.result) continue;
      check(elapsed(clock, start) < zl::kCallBudgetMs, [&] {
        return about("a read " + std::to_string(elapsed(clock, start)) + " ms into the call");
      });
      clock += e.read_ms;
      ++reads;
      got += read.bytes_read;
    }
    const bool in_time = elapsed(clock, start) < zl::kCallBudgetMs;
    const size_t offered = body_length(e);
    check(got == offered || (!in_time && got < offered), [&] {
      return about(std::to_string(got) + " body bytes read of " + std::to_string(offered) +
                   " in " + std::to_string(reads) + " reads");
    });
    const Bytes body(e.body.begin(), e.body.begin() + static_cast<std::ptrdiff_t>(got));
    const bool last = i + 1 == log.requests.size();
    const bool more = log.opens.size() > log.requests.size();
    if (!last) {
      check(followed(block) && in_time, [&] {
        return about("answer " + std::to_string(i) + " was followed: " + hex(block));
      });
      continue;
    }
    answered = !more;
    if (more) {
      check(followed(block) && in_time && i + 1 < max_requests, [&] {
        return about("a new attempt after answer " + std::to_string(i) + ": " + hex(block));
      });
      continue;
    }
    check(!followed(block) || !in_time || log.requests.size() == max_requests, [&] {
      return about("answer " + std::to_string(i) + " was not followed: " + hex(block));
    });
    if (options.raw_headers) {
      check(raw == block, [&] { return about("raw headers " + hex(raw) + " want " + hex(block)); });
    }
    if (!names_utf8(body, block)) {
      const Text want = zl::ref::bytes_to_text(body);
      check(result == want, [&] {
        return about("body " + hex(result) + "\n  want " + hex(want));
      });
    }
  }
  if (!answered) {
    check(result.empty(), [&] { return about("a failed call returned " + hex(result)); });
  }
  check(result.find('\0') == Text::npos, [&] { return about("the result holds a 0 byte"); });

  // Once any answer was merged, the cookie jar is a clean cookie string.
  const bool merged = options.cookies && !log.requests.empty() && log.requests[0].result;
  if (merged) {
    TextArray seen;
    for (const Text& item : zl::ref::text_split(cookies, std::string_view("; "))) {
      check(zl::ref::text_right(item, 8) != "=deleted",
            [&] { return about("deleted cookie kept: " + hex(cookies)); });
      for (const Text& s : seen) {
        check(s != item, [&] { return about("duplicate cookie: " + hex(cookies)); });
      }
      seen.push_back(item);
    }
  }
  fake::reset();
  return 0;
}
