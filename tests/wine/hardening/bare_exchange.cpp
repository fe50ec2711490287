// The soak test's yardstick: the same WinInet exchange as a lookup (the same
// calls, flags and reads), repeated with nothing of the plug-in around it.
// Whatever memory this gains per call is WinInet's own, not the plug-in's.
//   bare_exchange PORT CALLS  prints "memory CALLS PRIVATE-BYTES 0" every
//   1000 calls, as the host simulator's soak does.
#include <windows.h>
#include <wininet.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>

namespace {

size_t private_bytes() {
  PROCESS_MEMORY_COUNTERS_EX pmc{};
  pmc.cb = sizeof pmc;
  GetProcessMemoryInfo(GetCurrentProcess(),
                       reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc);
  return pmc.PrivateUsage ? pmc.PrivateUsage : pmc.PagefileUsage;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const INTERNET_PORT port = static_cast<INTERNET_PORT>(atoi(argv[1]));
  const long calls = atol(argv[2]);
  const char headers[] =
      "Referer: http://127.0.0.1/search/word?word=kw&pic=1&sug=1&enc=utf8"
      "\r\nAccept: */*\r\nAccept-Language: zh-cn"
      "\r\nContent-Type: application/x-www-form-urlencoded";
  for (long i = 1; i <= calls; ++i) {
    HINTERNET internet = InternetOpenA("Mozilla/4.0", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    HINTERNET connection = InternetConnectA(internet, "127.0.0.1", port, nullptr, nullptr,
                                            INTERNET_SERVICE_HTTP, 0, 0);
    DWORD timeout = 10000;
    InternetSetOptionA(connection, INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof timeout);
    InternetSetOptionA(connection, INTERNET_OPTION_SEND_TIMEOUT, &timeout, sizeof timeout);
    InternetSetOptionA(connection, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
    HINTERNET request = HttpOpenRequestA(connection, "GET", "/search/word?word=kw&pic=1&sug=1&enc=utf8",
                                         "HTTP/1.1", nullptr, nullptr, 0x80004010u, 0);
    HttpSendRequestA(request, headers, sizeof headers - 1, nullptr, 0);
    char piece[1024];
    DWORD ready = 0, got = 0;
    while (InternetQueryDataAvailable(request, &ready, 0, 0) && ready &&
           InternetReadFile(request, piece, ready < 1024 ? ready : 1024, &got) && got) {
    }
    char block[5000];
    DWORD length = sizeof block;
    HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, block, &length, nullptr);
    InternetCloseHandle(request);
    InternetCloseHandle(connection);
    InternetCloseHandle(internet);
    if (i % 1000 == 0 || i == calls) {
      printf("memory %ld %lu 0\n", i, static_cast<unsigned long>(private_bytes()));
      fflush(stdout);
    }
  }
  return 0;
}
