// Scripted WinInet: answers from the exchanges a test set and records every
// call with copies of its arguments (see fake.h).
#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <string>
#include <utility>

#include "platform/native/fake.h"

namespace zl {
namespace fake {

// The code-page half lives in iconv_codepage.cpp and logs into the same Log.
Log& mutable_log();

namespace {

struct HandleState {
  HandleKind kind = HandleKind::kUnknown;
  NetHandle parent = nullptr;
  bool open = true;
  // Requests only.
  Exchange exchange;
  bool sent = false;
  bool send_failed = false;
  size_t body_pos = 0;
  size_t next_piece = 0;
  int reads = 0;
};

struct State {
  std::vector<Exchange> script;
  size_t cursor = 0;  // next script entry to hand out
  std::map<NetHandle, HandleState> handles;
  uintptr_t next_id = 1;
  std::vector<std::string> problems;
  bool crack_fails = false;
};

uint32_t clock_ms = 0;

State& state() {
  static State s;
  return s;
}

Arg arg(const char* p) { return p ? Arg(std::string(p)) : Arg(); }

const char* kind_name(HandleKind kind) {
  switch (kind) {
    case HandleKind::kInternet:
      return "internet";
    case HandleKind::kConnection:
      return "connection";
    case HandleKind::kRequest:
      return "request";
    default:
      return "unknown";
  }
}

void problem(const std::string& what) { state().problems.push_back(what); }

void note(const char* name) { mutable_log().sequence.emplace_back(name); }

// The open handle of the wanted kind, or null after reporting the misuse.
HandleState* lookup(NetHandle h, HandleKind want, const char* call) {
  auto it = state().handles.find(h);
  if (it == state().handles.end()) {
    problem(std::string(call) + ": unknown handle");
    return nullptr;
  }
  if (!it->second.open) {
    problem(std::string(call) + ": handle already closed");
    return nullptr;
  }
  if (it->second.kind != want) {
    problem(std::string(call) + ": " + kind_name(it->second.kind) +
            " handle where a " + kind_name(want) + " handle belongs");
    return nullptr;
  }
  return &it->second;
}

NetHandle new_handle(HandleKind kind, NetHandle parent) {
  State& s = state();
  // Distinct, non-null and never dereferenced.
  NetHandle h = reinterpret_cast<NetHandle>(0x10000 + 0x10 * s.next_id++);
  HandleState hs;
  hs.kind = kind;
  hs.parent = parent;
  s.handles.emplace(h, std::move(hs));
  return h;
}

// The exchange the next request will get, and its script index (-1: none).
const Exchange& peek_exchange(int* index) {
  static const Exchange fallback = default_exchange();
  State& s = state();
  if (s.script.empty()) {
    *index = -1;
    return fallback;
  }
  size_t i = std::min(s.cursor, s.script.size() - 1);
  *index = static_cast<int>(i);
  return s.script[i];
}

void consume_exchange() { ++state().cursor; }

void close_tree(NetHandle h) {
  for (auto& [child, hs] : state().handles) {
    if (hs.open && hs.parent == h) {
      hs.open = false;
      close_tree(child);
    }
  }
}

bool all_digits(const std::string& s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](unsigned char c) {
    return std::isdigit(c) != 0;
  });
}

bool put(char* field, size_t size, const std::string& value) {
  if (value.size() + 1 > size) return false;
  std::memcpy(field, value.c_str(), value.size() + 1);
  return true;
}

}  // namespace

Log& mutable_log() {
  static Log log;
  return log;
}

Exchange default_exchange() { return Exchange(); }

void reset() {
  state() = State();
  mutable_log() = Log();
}

Exchange& add_exchange(Exchange exchange) {
  state().script.push_back(std::move(exchange));
  return state().script.back();
}

void set_crack_fails(bool fails) { state().crack_fails = fails; }

uint32_t now() { return clock_ms; }
void set_now(uint32_t ms) { clock_ms = ms; }
uint32_t GetTickCount() { return clock_ms; }

const Log& log() { return mutable_log(); }

const std::vector<std::string>& problems() { return state().problems; }

int open_handles() {
  int n = 0;
  for (const auto& entry : state().handles) n += entry.second.open ? 1 : 0;
  return n;
}

NetHandle InternetOpenA(const char* agent, uint32_t access_type,
                        const char* proxy, const char* proxy_bypass,
                        uint32_t flags) {
  note("InternetOpenA");
  OpenCall call{arg(agent), access_type, arg(proxy), arg(proxy_bypass), flags,
                nullptr};
  int index = -1;
  if (peek_exchange(&index).fail_open) {
    consume_exchange();
  } else {
    call.result = new_handle(HandleKind::kInternet, nullptr);
  }
  mutable_log().opens.push_back(call);
  return call.result;
}

NetHandle InternetConnectA(NetHandle internet, const char* server,
                           uint16_t port, const char* user,
                           const char* password, uint32_t service,
                           uint32_t flags, uintptr_t context) {
  note("InternetConnectA");
  ConnectCall call{internet, arg(server), port,    arg(user), arg(password),
                   service,  flags,       context, nullptr};
  int index = -1;
  if (lookup(internet, HandleKind::kInternet, "InternetConnectA")) {
    if (peek_exchange(&index).fail_connect) {
      consume_exchange();
    } else {
      call.result = new_handle(HandleKind::kConnection, internet);
    }
  }
  mutable_log().connects.push_back(call);
  return call.result;
}

NetHandle HttpOpenRequestA(NetHandle connection, const char* verb,
                           const char* object, const char* version,
                           const char* referrer,
                           const char* const* accept_types, uint32_t flags,
                           uintptr_t context) {
  note("HttpOpenRequestA");
  RequestCall call;
  call.connection = connection;
  call.verb = arg(verb);
  call.object = arg(object);
  call.version = arg(version);
  call.referrer = arg(referrer);
  if (accept_types) {
    call.accept_types.emplace();
    for (const char* const* p = accept_types; *p; ++p) {
      call.accept_types->emplace_back(*p);
    }
  }
  call.flags = flags;
  call.context = context;
  if (lookup(connection, HandleKind::kConnection, "HttpOpenRequestA")) {
    const Exchange& ex = peek_exchange(&call.exchange);
    Exchange copy = ex;
    consume_exchange();
    if (!copy.fail_request) {
      call.result = new_handle(HandleKind::kRequest, connection);
      state().handles[call.result].exchange = std::move(copy);
    }
  }
  mutable_log().requests.push_back(std::move(call));
  return mutable_log().requests.back().result;
}

bool HttpSendRequestA(NetHandle request, const char* headers,
                      uint32_t headers_length, const void* optional,
                      uint32_t optional_length) {
  note("HttpSendRequestA");
  SendCall call;
  call.request = request;
  call.headers_null = headers == nullptr;
  call.headers_length = headers_length;
  if (headers) {
    call.headers = headers_length == 0xFFFFFFFFu
                       ? std::string(headers)
                       : std::string(headers, headers_length);
  }
  call.optional_null = optional == nullptr;
  call.optional_length = optional_length;
  if (optional) {
    const auto* p = static_cast<const unsigned char*>(optional);
    call.optional.assign(p, p + optional_length);
  }
  if (HandleState* hs =
          lookup(request, HandleKind::kRequest, "HttpSendRequestA")) {
    hs->sent = true;
    hs->send_failed = hs->exchange.fail_send;
    clock_ms += hs->exchange.send_ms;
    call.result = !hs->send_failed;
  }
  mutable_log().sends.push_back(std::move(call));
  return mutable_log().sends.back().result;
}

bool InternetReadFile(NetHandle request, void* buffer, uint32_t bytes_to_read,
                      uint32_t* bytes_read) {
  note("InternetReadFile");
  ReadCall call{request, bytes_to_read, 0, false};
  HandleState* hs = lookup(request, HandleKind::kRequest, "InternetReadFile");
  if (!bytes_read) {
    problem("InternetReadFile: null count pointer");
  } else {
    *bytes_read = 0;
  }
  if (hs && bytes_read) {
    const int number = hs->reads++;
    const Exchange& ex = hs->exchange;
    clock_ms += ex.read_ms;
    if (!hs->sent) {
      problem("InternetReadFile: read before the request was sent");
    } else if (hs->send_failed || number == ex.fail_read_at) {
      // Fails with nothing delivered.
    } else {
      size_t n = std::min<size_t>(bytes_to_read, ex.body.size() - hs->body_pos);
      if (hs->next_piece < ex.pieces.size()) {
        n = std::min<size_t>(n, ex.pieces[hs->next_piece++]);
      }
      if (n > 0 && !buffer) {
        problem("InternetReadFile: null buffer");
      } else {
        if (n > 0) std::memcpy(buffer, ex.body.data() + hs->body_pos, n);
        hs->body_pos += n;
        *bytes_read = static_cast<uint32_t>(n);
        call.bytes_read = *bytes_read;
        call.result = true;
      }
    }
  }
  mutable_log().reads.push_back(call);
  return call.result;
}

bool InternetQueryDataAvailable(NetHandle request, uint32_t* available,
                                uint32_t, uintptr_t) {
  note("InternetQueryDataAvailable");
  HandleState* hs =
      lookup(request, HandleKind::kRequest, "InternetQueryDataAvailable");
  if (!available) problem("InternetQueryDataAvailable: null count pointer");
  bool ok = false;
  uint32_t n = 0;
  if (hs && available) {
    const Exchange& ex = hs->exchange;
    if (!hs->sent) {
      problem("InternetQueryDataAvailable: query before the request was sent");
    } else if (!hs->send_failed && hs->reads != ex.fail_read_at) {
      size_t left = ex.body.size() - hs->body_pos;
      if (hs->next_piece < ex.pieces.size()) {
        left = std::min<size_t>(left, ex.pieces[hs->next_piece]);
      }
      n = static_cast<uint32_t>(left);
      ok = true;
    }
    *available = n;
  }
  mutable_log().available.push_back(n);
  return ok;
}

bool HttpQueryInfoA(NetHandle request, uint32_t info_level, void* buffer,
                    uint32_t* buffer_length, uint32_t* index) {
  note("HttpQueryInfoA");
  QueryCall call;
  call.request = request;
  call.info_level = info_level;
  call.buffer_null = buffer == nullptr;
  call.length_in = buffer_length ? *buffer_length : 0;
  call.index_null = index == nullptr;
  HandleState* hs = lookup(request, HandleKind::kRequest, "HttpQueryInfoA");
  if (!buffer_length) problem("HttpQueryInfoA: null length pointer");
  if (hs && buffer_length) {
    const std::optional<std::string>& block = hs->exchange.headers;
    if (!hs->sent) {
      problem("HttpQueryInfoA: query before the request was sent");
    } else if (info_level != win::HTTP_QUERY_RAW_HEADERS_CRLF) {
      // Only the raw block is scripted; other levels are "not found".
    } else if (hs->send_failed || !block) {
      // No response, no headers.
    } else if (!buffer || *buffer_length < block->size() + 1) {
      // Too small: nothing written, the size needed (with the NUL) reported.
      *buffer_length = static_cast<uint32_t>(block->size() + 1);
    } else {
      std::memcpy(buffer, block->c_str(), block->size() + 1);
      *buffer_length = static_cast<uint32_t>(block->size());
      call.result = true;
    }
  }
  call.length_out = buffer_length ? *buffer_length : 0;
  mutable_log().queries.push_back(call);
  return call.result;
}

bool InternetCloseHandle(NetHandle handle) {
  note("InternetCloseHandle");
  CloseCall call{handle, HandleKind::kUnknown, false};
  auto it = state().handles.find(handle);
  if (it == state().handles.end()) {
    problem("InternetCloseHandle: unknown handle");
  } else {
    call.kind = it->second.kind;
    if (!it->second.open) {
      problem(std::string("InternetCloseHandle: ") + kind_name(call.kind) +
              " handle closed twice (or after its parent)");
    } else {
      it->second.open = false;
      close_tree(handle);
      call.result = true;
    }
  }
  mutable_log().closes.push_back(call);
  return call.result;
}

bool InternetSetOptionA(NetHandle handle, uint32_t option, const void* buffer,
                        uint32_t buffer_length) {
  note("InternetSetOptionA");
  SetOptionCall call{handle, option, {}, buffer_length, false};
  if (buffer) {
    const auto* p = static_cast<const unsigned char*>(buffer);
    call.value.assign(p, p + buffer_length);
  }
  bool known = true;
  if (handle) {
    auto it = state().handles.find(handle);
    known = it != state().handles.end() && it->second.open;
    if (!known) problem("InternetSetOptionA: unknown or closed handle");
  }
  call.result = known && buffer != nullptr;
  mutable_log().options.push_back(std::move(call));
  return mutable_log().options.back().result;
}

bool InternetCrackUrlA(const char* url, UrlParts* parts) {
  note("InternetCrackUrlA");
  CrackCall call{arg(url), false, UrlParts()};
  auto finish = [&](bool ok) {
    call.result = ok;
    if (ok && parts) *parts = call.parts;
    mutable_log().cracks.push_back(call);
    return ok;
  };
  if (!url || !parts) {
    problem("InternetCrackUrlA: null argument");
    return finish(false);
  }
  if (state().crack_fails) return finish(false);
  std::string s(url);
  s = s.substr(0, s.find('#'));
  const size_t colon = s.find("://");
  if (colon == std::string::npos || colon == 0) return finish(false);
  std::string scheme = s.substr(0, colon);
  std::transform(scheme.begin(), scheme.end(), scheme.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  std::string rest = s.substr(colon + 3);
  const size_t path_at = rest.find_first_of("/?");
  std::string authority = rest.substr(0, path_at);
  std::string path =
      path_at == std::string::npos ? std::string() : rest.substr(path_at);
  UrlParts& p = call.parts;
  p.secure = scheme == "https";
  const size_t at = authority.rfind('@');
  if (at != std::string::npos) {
    std::string credentials = authority.substr(0, at);
    authority = authority.substr(at + 1);
    const size_t split = credentials.find(':');
    if (!put(p.user, sizeof p.user, credentials.substr(0, split))) {
      return finish(false);
    }
    if (split != std::string::npos &&
        !put(p.password, sizeof p.password, credentials.substr(split + 1))) {
      return finish(false);
    }
  }
  p.port = p.secure ? win::INTERNET_DEFAULT_HTTPS_PORT
                    : win::INTERNET_DEFAULT_HTTP_PORT;
  const size_t port_at = authority.rfind(':');
  if (port_at != std::string::npos) {
    const std::string digits = authority.substr(port_at + 1);
    if (!all_digits(digits) || digits.size() > 5) return finish(false);
    const long port = std::stol(digits);
    if (port < 1 || port > 65535) return finish(false);
    p.port = static_cast<uint16_t>(port);
    authority = authority.substr(0, port_at);
  }
  if (authority.empty() || !put(p.host, sizeof p.host, authority) ||
      !put(p.path, sizeof p.path, path)) {
    return finish(false);
  }
  return finish(true);
}

}  // namespace fake
}  // namespace zl
