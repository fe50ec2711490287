// The native table: every entry points at the scripted stand-in.
#include "platform/native/fake.h"
#include "platform/platform.h"

namespace zl {
namespace {

SysCalls stand_in_table() {
  SysCalls t{};
  t.InternetOpenA = fake::InternetOpenA;
  t.InternetConnectA = fake::InternetConnectA;
  t.HttpOpenRequestA = fake::HttpOpenRequestA;
  t.HttpSendRequestA = fake::HttpSendRequestA;
  t.InternetReadFile = fake::InternetReadFile;
  t.InternetQueryDataAvailable = fake::InternetQueryDataAvailable;
  t.HttpQueryInfoA = fake::HttpQueryInfoA;
  t.InternetCloseHandle = fake::InternetCloseHandle;
  t.InternetSetOptionA = fake::InternetSetOptionA;
  t.InternetCrackUrlA = fake::InternetCrackUrlA;
  t.MultiByteToWideChar = fake::MultiByteToWideChar;
  t.WideCharToMultiByte = fake::WideCharToMultiByte;
  t.GetTickCount = fake::GetTickCount;
  return t;
}

}  // namespace

const SysCalls& default_sys() {
  static const SysCalls table = stand_in_table();
  return table;
}

SysCalls& sys() {
  static SysCalls table = default_sys();
  return table;
}

}  // namespace zl
