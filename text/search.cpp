#include "text/search.h"

#include <algorithm>
#include <cstring>

namespace zl::internal {
namespace {

// A folded search lowers this much of the text at a time (more when the
// needle is longer), so memory stays small even on a 16 MB page.
constexpr size_t kWindow = 64 * 1024;
// Work the fast phase may spend before it has to show progress.
constexpr size_t kSlack = 4096;

bool has_letter(std::string_view s) {
  for (unsigned char c : s) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  }
  return false;
}

}  // namespace

void fold_bytes(const unsigned char* src, size_t n, unsigned char* dst) {
  size_t i = 0;
  // Eight bytes at a time: flag bytes below 0x80 that lie in 0x41..0x5A and
  // set their 0x20 bit. The additions stay inside each byte because the
  // operands have their top bits cleared.
  constexpr uint64_t kLow7 = 0x7f7f7f7f7f7f7f7fULL;
  constexpr uint64_t kTop = 0x8080808080808080ULL;
  for (; i + 8 <= n; i += 8) {
    uint64_t w;
    std::memcpy(&w, src + i, 8);
    const uint64_t low = w & kLow7;
    const uint64_t at_least_a = low + 0x3f3f3f3f3f3f3f3fULL;  // >= 0x41
    const uint64_t beyond_z = low + 0x2525252525252525ULL;    // >= 0x5B
    const uint64_t upper = at_least_a & ~beyond_z & ~w & kTop;
    w |= upper >> 2;
    std::memcpy(dst + i, &w, 8);
  }
  for (; i < n; ++i) dst[i] = fold_byte(src[i]);
}

Matcher::Matcher(std::string_view hay, size_t begin, size_t end,
                 std::string_view needle, bool fold, Step step)
    : t_(reinterpret_cast<const unsigned char*>(hay.data())),
      end_(end),
      n_(reinterpret_cast<const unsigned char*>(needle.data())),
      m_(needle.size()),
      // Without letters in the needle a folded comparison is an exact one.
      fold_(fold && has_letter(needle)),
      chars_(step == Step::kChars),
      pos_(begin),
      known_(begin),
      origin_(begin) {
  if (fold_) {
    lowered_needle_.resize(m_);
    fold_bytes(n_, m_,
               reinterpret_cast<unsigned char*>(lowered_needle_.data()));
    n_ = reinterpret_cast<const unsigned char*>(lowered_needle_.data());
  }
}

size_t Matcher::next() {
  for (;;) {
    if (end_ - pos_ < m_) return kNpos;
    const size_t h = linear_ ? linear_find() : fast_find();
    if (h == kNpos) {
      pos_ = end_;
      return kNpos;
    }
    pos_ = h + 1;
    if (!chars_ || settle_boundary(h)) return h;
  }
}

void Matcher::restart(size_t pos) {
  pos_ = known_ = pos;
  if (linear_) {
    kmp_i_ = pos;
    state_ = 0;
  }
}

// Within a run of bytes >= 0x80 that starts on a character boundary, the
// boundaries alternate; a byte below 0x80 is always followed by one. So the
// parity of the run before h, cut off at the last settled boundary, decides.
bool Matcher::settle_boundary(size_t h) {
  size_t j = h;
  while (j > known_ && t_[j - 1] >= 0x80) --j;
  const bool start = ((h - j) & 1) == 0;
  known_ = start ? h : h + 1;
  return start;
}

size_t Matcher::fast_find() {
  for (;;) {
    const size_t limit = kSlack + 2 * m_ + 4 * (pos_ - origin_);
    if (work_ > limit) {
      go_linear();
      return linear_find();
    }
    if (end_ - pos_ < m_) return kNpos;

    const unsigned char* base;
    size_t len;
    if (!fold_) {
      base = t_ + pos_;
      len = end_ - pos_;
    } else {
      if (pos_ < win_begin_ || pos_ + m_ > win_begin_ + win_len_) {
        const size_t span = std::max(kWindow, m_) + m_ - 1;
        win_begin_ = pos_;
        win_len_ = std::min(span, end_ - pos_);
        if (window_.size() < win_len_) window_.resize(win_len_);
        fold_bytes(t_ + pos_, win_len_, window_.data());
      }
      base = window_.data() + (pos_ - win_begin_);
      len = win_begin_ + win_len_ - pos_;
    }

    size_t stopped = kNpos;
    const size_t r = raw_find(base, len, limit, &stopped);
    if (stopped != kNpos) {
      pos_ += stopped;
      go_linear();
      return linear_find();
    }
    if (r != kNpos) return pos_ + r;
    if (!fold_ || win_begin_ + win_len_ == end_) return kNpos;
    // Every start whose match would fit in the window is ruled out.
    pos_ = win_begin_ + win_len_ - m_ + 1;
  }
}

// First occurrence of the needle in h[0, len). The portable form may give
// up once the work budget is spent; *stopped then says where to resume.
size_t Matcher::raw_find(const unsigned char* h, size_t len,
                         [[maybe_unused]] size_t limit,
                         [[maybe_unused]] size_t* stopped) {
#if defined(__GLIBC__) && !defined(ZHILAN_PORTABLE_SEARCH)
  // memmem is linear in what it reads, plus set-up that grows with the
  // needle; that set-up is what repeated calls pay again.
  work_ += m_ + 64;
  const void* r = memmem(h, len, n_, m_);
  return r ? static_cast<size_t>(static_cast<const unsigned char*>(r) - h)
           : kNpos;
#else
  size_t i = 0;
  while (len - i >= m_) {
    if (work_ > limit + 4 * i) {
      *stopped = i;
      return kNpos;
    }
    const void* c = std::memchr(h + i, n_[0], len - i - m_ + 1);
    if (!c) return kNpos;
    const size_t j = static_cast<size_t>(static_cast<const unsigned char*>(c) - h);
    size_t k = 1;
    while (k < m_ && h[j + k] == n_[k]) ++k;
    work_ += k + 16;
    if (k == m_) return j;
    i = j + 1;
  }
  return kNpos;
#endif
}

void Matcher::go_linear() {
  linear_ = true;
  if (fail_.empty()) {
    fail_.assign(m_, 0);
    size_t k = 0;
    for (size_t i = 1; i < m_; ++i) {
      while (k > 0 && n_[i] != n_[k]) k = fail_[k - 1];
      if (n_[i] == n_[k]) ++k;
      fail_[i] = static_cast<uint32_t>(k);
    }
  }
  kmp_i_ = pos_;
  state_ = 0;
  window_.clear();
  window_.shrink_to_fit();
}

size_t Matcher::linear_find() {
  while (kmp_i_ < end_) {
    const unsigned char c = fold_ ? fold_byte(t_[kmp_i_]) : t_[kmp_i_];
    ++kmp_i_;
    while (state_ > 0 && c != n_[state_]) state_ = fail_[state_ - 1];
    if (c == n_[state_]) ++state_;
    if (state_ == m_) {
      state_ = fail_[m_ - 1];
      return kmp_i_ - m_;
    }
  }
  return kNpos;
}

}  // namespace zl::internal
