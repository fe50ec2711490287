// End-to-end cost of the encyclopedia lookup through the real DLL, beside a
// reference job in the same process that makes the same WinInet calls and
// one UTF-8 to GBK conversion of the body, and nothing else.
//
//   zl_lookup_bench DLL HOST:PORT time SIZE:REPS...
//       For each size: a warm-up of every job, then REPS rounds, each
//       running every job once, the order rotating from round to round.
//       One line per run: "sample SIZE JOB SECONDS".
//   zl_lookup_bench DLL HOST:PORT memory JOB SIZE
//       In a fresh process: a warm-up on a 1 KB page, then one run on SIZE
//       while a thread samples the private bytes every millisecond. Prints
//       "memory JOB SIZE IDLE_PRIVATE PEAK_PRIVATE IDLE_PEAK_WS PEAK_WS".
//
// Jobs: "lookup" (the DLL's export), "reference" (converting with
// WC_COMPOSITECHECK, the flag the lookup's conversion must pass) and
// "reference-plain" (the same with flags 0, to show what the flag costs).
//
// Private bytes: Wine leaves PrivateUsage at 0 and reports the private
// (anonymous resident) bytes as PagefileUsage, whose "peak" is only the
// current value; so the larger of the two is sampled. The working-set peak
// is a true high-water mark and is printed beside it as a cross-check.
//
// The DLL must have been built with its encyclopedia host set to HOST:PORT;
// the server there answers the keyword "测试<SIZE>" with a UTF-8 page of
// SIZE bytes (bench/wine/run_lookup_bench.py).
#include <windows.h>
#include <psapi.h>
#include <wininet.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "host/plugin_api.h"

namespace {

constexpr char kAgent[] =
    "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; KARVO; "
    ".NET CLR 2.0.50727; .NET CLR 3.0.04506.648; .NET CLR 3.5.21022)";
constexpr DWORD kRequestFlags = 0x80004010;  // reload, need file, no https hop
constexpr char kKeywordLead[] = "\xb2\xe2\xca\xd4";  // 测试
constexpr char kFoundLead[] = "[name]\xb0\xd9\xbf\xc6";  // [name]百科

std::string keyword_for(size_t size) {
  return std::string(kKeywordLead) + std::to_string(size);
}

std::string path_for(size_t size) {
  return "/search/word?word=" + keyword_for(size) + "&pic=1&sug=1&enc=utf8";
}

double now_seconds() {
  static LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

constexpr DWORD kCompositeCheck = 0x200;  // WC_COMPOSITECHECK

// The reference job: the lookup's WinInet calls with the lookup's
// arguments, the body read in 1024-byte pieces, the raw headers into a
// 5000-byte buffer, then one conversion of the body to GBK.
std::string reference_fetch(const std::string& host, INTERNET_PORT port,
                            const std::string& path, DWORD wide_flags) {
  const std::string url = "http://" + host + ":" + std::to_string(port) + path;
  const std::string headers = "Referer: " + url +
                              "\r\nAccept: */*\r\nAccept-Language: zh-cn"
                              "\r\nContent-Type: application/x-www-form-urlencoded";
  HINTERNET internet =
      InternetOpenA(kAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  HINTERNET connection =
      InternetConnectA(internet, host.c_str(), port, nullptr, nullptr,
                       INTERNET_SERVICE_HTTP, 0, 0);
  HINTERNET request = HttpOpenRequestA(connection, "GET", path.c_str(),
                                       "HTTP/1.1", nullptr, nullptr,
                                       kRequestFlags, 0);
  HttpSendRequestA(request, headers.c_str(),
                   static_cast<DWORD>(headers.size()), nullptr, 0);
  std::string body;
  char piece[1024];
  for (;;) {
    DWORD got = 0;
    if (!InternetReadFile(request, piece, sizeof piece, &got) || got == 0) break;
    body.append(piece, got);
  }
  char raw[5000];
  DWORD raw_len = sizeof raw;
  HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, raw, &raw_len, nullptr);
  InternetCloseHandle(request);
  InternetCloseHandle(connection);
  InternetCloseHandle(internet);

  const int n = static_cast<int>(body.size());
  const int wide_n = MultiByteToWideChar(CP_UTF8, 0, body.data(), n, nullptr, 0);
  std::wstring wide(static_cast<size_t>(wide_n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, body.data(), n, wide.data(), wide_n);
  const int gbk_n = WideCharToMultiByte(936, wide_flags, wide.data(), wide_n,
                                        nullptr, 0, nullptr, nullptr);
  std::string gbk(static_cast<size_t>(gbk_n), '\0');
  WideCharToMultiByte(936, wide_flags, wide.data(), wide_n, gbk.data(), gbk_n,
                      nullptr, nullptr);
  return gbk;
}

struct Context {
  zl::host::Plugin plugin;
  std::string host;
  INTERNET_PORT port = 0;
};

bool run_lookup(const Context& c, size_t size) {
  const std::string keyword = keyword_for(size);
  const zl::host::CallResult r = zl::host::call_lookup(c.plugin, keyword.c_str());
  return r.stack_ok && r.text != nullptr &&
         std::string(r.text).rfind(kFoundLead, 0) == 0;
}

bool run_reference(const Context& c, size_t size, DWORD wide_flags) {
  const std::string gbk =
      reference_fetch(c.host, c.port, path_for(size), wide_flags);
  return gbk.size() + 64 >= size / 2;
}

enum Job { kLookup, kReference, kReferencePlain, kJobs };
const char* const kJobNames[kJobs] = {"lookup", "reference", "reference-plain"};

bool run(const Context& c, int job, size_t size) {
  switch (job) {
    case kLookup:
      return run_lookup(c, size);
    case kReference:
      return run_reference(c, size, kCompositeCheck);
    default:
      return run_reference(c, size, 0);
  }
}

const char* who(int job) { return kJobNames[job]; }

int job_named(const std::wstring& name) {
  for (int j = 0; j < kJobs; ++j) {
    if (zl::host::wide_to_gbk(name) == kJobNames[j]) return j;
  }
  return -1;
}

PROCESS_MEMORY_COUNTERS_EX memory() {
  PROCESS_MEMORY_COUNTERS_EX m{};
  m.cb = sizeof m;
  GetProcessMemoryInfo(GetCurrentProcess(),
                       reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&m), sizeof m);
  return m;
}

int time_mode(const Context& c, int argc, wchar_t** argv) {
  for (int i = 0; i < argc; ++i) {
    size_t size = 0;
    int reps = 0;
    if (swscanf(argv[i], L"%zu:%d", &size, &reps) != 2 || reps <= 0) {
      std::fprintf(stderr, "bad SIZE:REPS\n");
      return 2;
    }
    for (int job = 0; job < kJobs; ++job) {
      if (!run(c, job, size)) {
        std::fprintf(stderr,
                     "%s of %zu bytes failed (is the DLL built for this "
                     "server's host and port?)\n",
                     who(job), size);
        return 1;
      }
    }
    for (int r = 0; r < reps; ++r) {
      for (int k = 0; k < kJobs; ++k) {
        const int job = (r + k) % kJobs;
        const double t0 = now_seconds();
        const bool ok = run(c, job, size);
        const double t = now_seconds() - t0;
        if (!ok) {
          std::fprintf(stderr, "%s of %zu bytes failed\n", who(job), size);
          return 1;
        }
        std::printf("sample %zu %s %.9f\n", size, who(job), t);
        std::fflush(stdout);
      }
    }
  }
  return 0;
}

SIZE_T private_bytes(const PROCESS_MEMORY_COUNTERS_EX& m) {
  return m.PrivateUsage > m.PagefileUsage ? m.PrivateUsage : m.PagefileUsage;
}

int memory_mode(const Context& c, int job, size_t size) {
  if (!run(c, job, 1024)) return 1;
  const PROCESS_MEMORY_COUNTERS_EX idle = memory();
  std::atomic<bool> done{false};
  std::atomic<SIZE_T> peak{private_bytes(idle)};
  std::thread sampler([&] {
    while (!done.load()) {
      const SIZE_T p = private_bytes(memory());
      if (p > peak.load()) peak.store(p);
      Sleep(1);
    }
  });
  const bool ok = run(c, job, size);
  done.store(true);
  sampler.join();
  const PROCESS_MEMORY_COUNTERS_EX after = memory();
  if (!ok) {
    std::fprintf(stderr, "%s of %zu bytes failed\n", who(job), size);
    return 1;
  }
  SIZE_T peak_private = peak.load();
  if (private_bytes(after) > peak_private) peak_private = private_bytes(after);
  std::printf("memory %s %zu %lu %lu %lu %lu\n", who(job), size,
              static_cast<unsigned long>(private_bytes(idle)),
              static_cast<unsigned long>(peak_private),
              static_cast<unsigned long>(idle.PeakWorkingSetSize),
              static_cast<unsigned long>(after.PeakWorkingSetSize));
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) {
    std::fprintf(stderr,
                 "usage: zl_lookup_bench DLL HOST:PORT time SIZE:REPS...\n"
                 "       zl_lookup_bench DLL HOST:PORT memory JOB SIZE\n");
    return 2;
  }
  Context c;
  std::string error;
  if (!zl::host::load_plugin(argv[1], c.plugin, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  const std::wstring endpoint = argv[2];
  const size_t colon = endpoint.rfind(L':');
  if (colon == std::wstring::npos) return 2;
  c.host = zl::host::wide_to_gbk(endpoint.substr(0, colon));
  c.port = static_cast<INTERNET_PORT>(_wtoi(endpoint.c_str() + colon + 1));
  const std::wstring mode = argv[3];
  int rc = 2;
  if (mode == L"time") {
    rc = time_mode(c, argc - 4, argv + 4);
  } else if (mode == L"memory" && argc == 6 && job_named(argv[4]) >= 0) {
    rc = memory_mode(c, job_named(argv[4]),
                     static_cast<size_t>(_wtoi64(argv[5])));
  }
  zl::host::unload_plugin(c.plugin);
  return rc;
}
