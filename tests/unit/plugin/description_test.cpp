#include "plugin/description.h"

#include <iconv.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// The UTF-8 text converted by the C library: proves that the literals in
// the plug-in are the GBK bytes of these characters.
std::string gbk(const std::string& utf8) {
  iconv_t cd = iconv_open("GBK", "UTF-8");
  std::string out(utf8.size() * 2 + 4, '\0');
  char* in = const_cast<char*>(utf8.data());
  size_t in_left = utf8.size();
  char* o = out.data();
  size_t out_left = out.size();
  EXPECT_NE(iconv(cd, &in, &in_left, &o, &out_left), static_cast<size_t>(-1));
  iconv_close(cd);
  out.resize(out.size() - out_left);
  return out;
}

TEST(Description, IsTheTenGbkLinesEachEndedByCrLf) {
  EXPECT_EQ(zl::describe_plugin(),
            gbk("知澜\r\n1.0\r\n苇舟\r\n#百科+内容\r\n#百科\r\n 内容\r\n\r\n"
                "知澜\r\n1\r\n假\r\n"));
}

}  // namespace
