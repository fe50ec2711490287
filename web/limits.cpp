#include "web/limits.h"

#include <algorithm>

namespace zl {

Deadline start_deadline(uint32_t budget_ms) {
  return Deadline{sys().GetTickCount(), budget_ms};
}

uint32_t remaining_ms(const Deadline& deadline) {
  // Unsigned difference: right across the tick counter's wrap-around.
  const uint32_t elapsed = sys().GetTickCount() - deadline.start_ms;
  return elapsed >= deadline.budget_ms ? 0 : deadline.budget_ms - elapsed;
}

Bytes read_body(NetHandle request, const Deadline& deadline, int32_t piece) {
  constexpr int32_t kLargestPiece = 4096;
  const uint32_t size = static_cast<uint32_t>(std::clamp(piece, 1, kLargestPiece));
  unsigned char buffer[kLargestPiece];
  SysCalls& os = sys();
  Bytes body;
  while (remaining_ms(deadline) > 0) {
    uint32_t ready = 0;
    if (!os.InternetQueryDataAvailable(request, &ready, 0, 0) || ready == 0)
      break;
    uint32_t got = 0;
    if (!os.InternetReadFile(request, buffer, ready < size ? ready : size, &got) ||
        got == 0)
      break;
    const int32_t room = kMaxBodyBytes - bytes_len(body);
    const int32_t n = static_cast<int32_t>(got < size ? got : size);
    bytes_append(body, buffer, n < room ? n : room);
    if (n >= room) break;
  }
  return body;
}

void apply_timeouts(NetHandle handle, const Deadline& deadline) {
  const uint32_t left = remaining_ms(deadline);
  const auto limit = [left](uint32_t own) {
    return std::max(std::min(own, left), kMinTimeoutMs);
  };
  const uint32_t connect = limit(kConnectTimeoutMs);
  const uint32_t send_receive = limit(kSendReceiveTimeoutMs);
  SysCalls& os = sys();
  os.InternetSetOptionA(handle, win::INTERNET_OPTION_CONNECT_TIMEOUT, &connect,
                        sizeof connect);
  os.InternetSetOptionA(handle, win::INTERNET_OPTION_SEND_TIMEOUT,
                        &send_receive, sizeof send_receive);
  os.InternetSetOptionA(handle, win::INTERNET_OPTION_RECEIVE_TIMEOUT,
                        &send_receive, sizeof send_receive);
}

}  // namespace zl
