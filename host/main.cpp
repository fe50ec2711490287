// zhilan-host: a small stand-in for the chat-robot host. It loads a plug-in
// DLL, finds its exports by their GBK names, calls them with the host's
// calling conventions, checks the stack pointer after every call and prints
// the replies.
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/plugin_api.h"

namespace {

using zl::host::CallResult;

const char kUsage[] =
    "usage: zhilan-host [--text|--raw|--hex] [--times] [--stdin] PLUGIN.dll COMMAND...\n"
    "Commands run in order, in one process; the plug-in is unloaded at the end.\n"
    "  info                 the description text\n"
    "  lookup KEYWORD       encyclopedia lookup of KEYWORD\n"
    "  lookup-hex HEX       the keyword as GBK bytes in hex (\"-\": empty)\n"
    "  lookup-null          all five arguments null\n"
    "  nickname NUMBER      nickname of a QQ number\n"
    "  nickname-hex HEX     the number as GBK bytes in hex (\"-\": empty)\n"
    "  nickname-null        a null argument\n"
    "  soak N HEX           N lookups of one keyword; prints, every 1000 calls,\n"
    "                       \"memory CALLS PRIVATE-BYTES MISMATCHES\"\n"
    "  memory               prints \"memory 0 PRIVATE-BYTES 0\"\n"
    "Output: one reply per command. --text (default): UTF-8 and a newline;\n"
    "--raw: the GBK bytes and a newline; --hex: the bytes in hex, or \"null\"\n"
    "for a null pointer, one line each. --times puts the call's milliseconds\n"
    "and a space in front of each reply. --stdin reads the commands from\n"
    "standard input instead, one line each, and answers each line at once.\n";

enum class Mode { kText, kRaw, kHex };

bool parse_hex(const std::wstring& hex, std::string& out) {
  out.clear();
  if (hex == L"-") return true;
  if (hex.size() % 2 != 0) return false;
  for (size_t i = 0; i < hex.size(); i += 2) {
    unsigned v = 0;
    for (size_t j = i; j < i + 2; ++j) {
      const wchar_t c = hex[j];
      v <<= 4;
      if (c >= L'0' && c <= L'9') v |= c - L'0';
      else if (c >= L'a' && c <= L'f') v |= c - L'a' + 10;
      else if (c >= L'A' && c <= L'F') v |= c - L'A' + 10;
      else return false;
    }
    if (v == 0) return false;  // a text cannot hold a 0 byte
    out.push_back(static_cast<char>(v));
  }
  return true;
}

void write_out(const std::string& bytes) {
  fwrite(bytes.data(), 1, bytes.size(), stdout);
}

size_t private_bytes() {
  PROCESS_MEMORY_COUNTERS_EX pmc{};
  pmc.cb = sizeof pmc;
  if (!GetProcessMemoryInfo(GetCurrentProcess(),
                            reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc),
                            sizeof pmc))
    return 0;
  // Wine leaves PrivateUsage at 0; the commit charge is the same figure there.
  return pmc.PrivateUsage ? pmc.PrivateUsage : pmc.PagefileUsage;
}

void print_memory(long calls, long mismatches) {
  char line[96];
  snprintf(line, sizeof line, "memory %ld %lu %ld\n", calls,
           static_cast<unsigned long>(private_bytes()), mismatches);
  write_out(line);
}

void print_reply(Mode mode, const CallResult& r) {
  if (mode == Mode::kHex) {
    if (r.text == nullptr) {
      write_out("null\n");
      return;
    }
    static const char digits[] = "0123456789abcdef";
    std::string line;
    for (const char* p = r.text; *p; ++p) {
      const unsigned char c = static_cast<unsigned char>(*p);
      line.push_back(digits[c >> 4]);
      line.push_back(digits[c & 15]);
    }
    write_out(line + "\n");
    return;
  }
  const std::string gbk = r.text ? r.text : "";
  write_out((mode == Mode::kRaw ? gbk : zl::host::gbk_to_utf8(gbk)) + "\n");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  DWORD console_mode = 0;
  if (GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &console_mode))
    SetConsoleOutputCP(CP_UTF8);

  Mode mode = Mode::kText;
  bool times = false;
  bool from_stdin = false;
  int i = 1;
  for (; i < argc && argv[i][0] == L'-' && argv[i][1] == L'-'; ++i) {
    const std::wstring opt = argv[i];
    if (opt == L"--text") mode = Mode::kText;
    else if (opt == L"--raw") mode = Mode::kRaw;
    else if (opt == L"--hex") mode = Mode::kHex;
    else if (opt == L"--times") times = true;
    else if (opt == L"--stdin") from_stdin = true;
    else {
      fputs(kUsage, stderr);
      return 2;
    }
  }
  if (i >= argc) {
    fputs(kUsage, stderr);
    return 2;
  }

  zl::host::Plugin plugin;
  std::string error;
  if (!zl::host::load_plugin(argv[i], plugin, error)) {
    fprintf(stderr, "zhilan-host: %s\n", error.c_str());
    return 3;
  }
  ++i;

  // Runs the commands in `words` in order; 0, or the exit status of the
  // first failure.
  auto run = [&](const std::vector<std::wstring>& words) {
    int status = 0;
    int i = 0;
    const int n = static_cast<int>(words.size());
    while (i < n && status == 0) {
      const std::wstring cmd = words[i++];
      if (cmd == L"memory") {
        print_memory(0, 0);
        continue;
      }
      if (cmd == L"soak") {
        std::string keyword;
        if (i + 1 >= n || !parse_hex(words[i + 1], keyword)) {
          fputs(kUsage, stderr);
          status = 2;
          break;
        }
        const long calls = wcstol(words[i].c_str(), nullptr, 10);
        i += 2;
        std::string first;
        long mismatches = 0;
        for (long k = 1; k <= calls && status == 0; ++k) {
          const CallResult r = zl::host::call_lookup(plugin, keyword.c_str());
          if (!r.stack_ok) status = 4;
          const std::string text = r.text ? r.text : "";
          if (k == 1) first = text;
          else if (text != first) ++mismatches;
          if (k % 1000 == 0 || k == calls) {
            print_memory(k, mismatches);
            fflush(stdout);
          }
        }
        continue;
      }
      const bool takes_arg = cmd == L"lookup" || cmd == L"lookup-hex" ||
                             cmd == L"nickname" || cmd == L"nickname-hex";
      std::string arg;
      if (takes_arg) {
        if (i >= n) {
          fputs(kUsage, stderr);
          status = 2;
          break;
        }
        const std::wstring raw = words[i++];
        if (cmd.size() > 4 && cmd.compare(cmd.size() - 4, 4, L"-hex") == 0) {
          if (!parse_hex(raw, arg)) {
            fprintf(stderr, "zhilan-host: bad hex argument\n");
            status = 2;
            break;
          }
        } else {
          arg = zl::host::wide_to_gbk(raw);
        }
      }

      CallResult r;
      const DWORD started = GetTickCount();
      if (cmd == L"info") r = zl::host::call_info(plugin);
      else if (cmd == L"lookup" || cmd == L"lookup-hex")
        r = zl::host::call_lookup(plugin, arg.c_str());
      else if (cmd == L"lookup-null") r = zl::host::call_lookup(plugin, nullptr);
      else if (cmd == L"nickname" || cmd == L"nickname-hex")
        r = zl::host::call_nickname(plugin, arg.c_str());
      else if (cmd == L"nickname-null") r = zl::host::call_nickname(plugin, nullptr);
      else {
        fputs(kUsage, stderr);
        status = 2;
        break;
      }
      if (!r.stack_ok) {
        fprintf(stderr,
                "zhilan-host: the export moved the stack pointer by %d bytes, "
                "against its calling convention\n",
                r.stack_change);
        status = 4;
        break;
      }
      if (times) {
        char ms[24];
        snprintf(ms, sizeof ms, "%lu ", static_cast<unsigned long>(GetTickCount() - started));
        write_out(ms);
      }
      print_reply(mode, r);
      fflush(stdout);
    }
    return status;
  };

  int status = 0;
  if (from_stdin) {
    // One command per line, answered at once: a test can change what its
    // servers do between two calls of the same process.
    char line[8192];
    while (status == 0 && fgets(line, sizeof line, stdin)) {
      std::vector<std::wstring> words;
      std::wstring word;
      for (const char* p = line; *p; ++p) {
        if (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n') {
          if (!word.empty()) words.push_back(word);
          word.clear();
        } else {
          word.push_back(static_cast<unsigned char>(*p));
        }
      }
      if (!word.empty()) words.push_back(word);
      status = run(words);
    }
  } else {
    status = run(std::vector<std::wstring>(argv + i, argv + argc));
  }

  zl::host::unload_plugin(plugin);
  return status;
}
