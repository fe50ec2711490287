// How long and how much one export call's network work may take.
//
// The plug-in runs on the host's own thread: a server that never answers, or
// answers without end, must not hold that thread or fill the host's 2 GB
// address space. Every exchange gets timeouts that WinInet honours, the
// whole call (redirect follow-ups included) runs against one deadline, and
// a body is kept to kMaxBodyBytes.
#ifndef ZHILAN_WEB_LIMITS_H_
#define ZHILAN_WEB_LIMITS_H_

#include <cstdint>

#include "platform/platform.h"
#include "text/text.h"

namespace zl {

// The whole call, every follow-up included.
inline constexpr uint32_t kCallBudgetMs = 30000;
// Per connection attempt, and per send or receive operation.
inline constexpr uint32_t kConnectTimeoutMs = 10000;
inline constexpr uint32_t kSendReceiveTimeoutMs = 15000;
// The shortest timeout ever set: WinInet reads 0 as "wait for ever".
inline constexpr uint32_t kMinTimeoutMs = 500;
// Bytes of a body kept; reading stops there, as for a read that fails.
inline constexpr int32_t kMaxBodyBytes = 32 << 20;

struct Deadline {
  uint32_t start_ms = 0;
  uint32_t budget_ms = kCallBudgetMs;
};

// A deadline `budget_ms` from now (sys().GetTickCount).
Deadline start_deadline(uint32_t budget_ms = kCallBudgetMs);

// Milliseconds left before the deadline; 0 once it has passed.
uint32_t remaining_ms(const Deadline& deadline);

// Sets the connect, send and receive timeouts of `handle` (and so of the
// handles opened from it): each its own limit, or what is left of the
// deadline when that is less, but never below kMinTimeoutMs.
void apply_timeouts(NetHandle handle, const Deadline& deadline);

// The body of a sent request, read in pieces of at most `piece` bytes
// (1 to 4096). Before each read it asks how much is ready (which waits for
// one receive at most) and reads no more than that: a read of a full piece
// would wait for all of it, however slowly it trickles in. Stops at the end
// of the body, at a failed query or read (keeping what arrived), at
// kMaxBodyBytes, or once the deadline has passed. Appends in place, so a
// large body costs linear time.
Bytes read_body(NetHandle request, const Deadline& deadline, int32_t piece);

// Closes a WinInet handle when it goes out of scope, so that no exit path,
// an exception included, leaves one open. close() closes it earlier.
class ScopedNetHandle {
 public:
  explicit ScopedNetHandle(NetHandle handle) : handle_(handle) {}
  ~ScopedNetHandle() { close(); }
  ScopedNetHandle(const ScopedNetHandle&) = delete;
  ScopedNetHandle& operator=(const ScopedNetHandle&) = delete;

  NetHandle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void close() {
    if (handle_ != nullptr) sys().InternetCloseHandle(handle_);
    handle_ = nullptr;
  }

 private:
  NetHandle handle_;
};

}  // namespace zl

#endif  // ZHILAN_WEB_LIMITS_H_
