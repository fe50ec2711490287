// The search engine behind text_find, text_find_last, text_replace,
// text_split and bytes_find. Internal to the toolkit.
//
// A Matcher enumerates, in increasing order, the offsets in hay[begin, end)
// where `needle` occurs wholly inside that range and (in character mode) a
// character starts, counting characters from `begin` or from the last
// restart().
//
// Speed: candidates come from memmem (glibc) or memchr; a folded search runs
// memmem over a lower-cased window of the text. A candidate's character
// boundary is settled by walking back over the run of bytes >= 0x80 before
// it, never further back than the last settled boundary, so the walks add up
// to one pass. Inputs that make the fast path re-examine the same bytes too
// often (many rejected or overlapping candidates of a long needle) switch
// the matcher to a KMP scan, which keeps every search O(len + needle).
#ifndef ZHILAN_TEXT_SEARCH_H_
#define ZHILAN_TEXT_SEARCH_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zl::internal {

inline constexpr size_t kNpos = static_cast<size_t>(-1);

inline unsigned char fold_byte(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

// Lower-cases A-Z in n bytes (every byte, no character stepping).
void fold_bytes(const unsigned char* src, size_t n, unsigned char* dst);

class Matcher {
 public:
  enum class Step { kChars, kBytes };

  // `needle` must not be empty and must outlive the matcher, as must `hay`.
  Matcher(std::string_view hay, size_t begin, size_t end,
          std::string_view needle, bool fold, Step step = Step::kChars);

  // Next match at or after the current position, or kNpos. Scanning goes
  // on from the byte after it, so overlapping matches are all reported.
  size_t next();

  // Continues at `pos` as if a character started there (the scan resumes
  // after a consumed match).
  void restart(size_t pos);

 private:
  size_t fast_find();
  size_t linear_find();
  size_t raw_find(const unsigned char* h, size_t len, size_t limit,
                  size_t* stopped);
  bool settle_boundary(size_t h);
  void go_linear();

  const unsigned char* t_;
  size_t end_;
  const unsigned char* n_;  // needle as compared (lowered when folding)
  size_t m_;
  bool fold_;  // folding a needle that holds letters
  bool chars_;

  size_t pos_;     // first offset not yet ruled out
  size_t known_;   // a settled character start, <= pos_
  size_t origin_;  // where the fast phase began, for the work budget
  size_t work_ = 0;

  std::string lowered_needle_;
  std::vector<unsigned char> window_;  // lowered copy of hay[win_begin_, +size)
  size_t win_begin_ = 0;
  size_t win_len_ = 0;

  bool linear_ = false;
  std::vector<uint32_t> fail_;
  size_t kmp_i_ = 0;
  size_t state_ = 0;
};

}  // namespace zl::internal

#endif  // ZHILAN_TEXT_SEARCH_H_
