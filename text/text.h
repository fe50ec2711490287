// Text and byte primitives shared by every part of the plug-in.
//
// Types
//   Text       GBK (code page 936) bytes without any 0 byte. The empty string
//              is the only "nothing": an absent Text and an empty one behave
//              the same everywhere.
//   Bytes      any bytes, 0 included, with an explicit length.
//   TextArray  an ordered list of Text. The toolkit's own wording indexes it
//              from 1; in C++ it is a plain vector (element i is [i - 1]).
//
// Conventions
//   - Positions are 1-based byte offsets into the whole text, also when a
//     search was given a later start. -1 means "not found".
//   - Character stepping: a byte 0x80-0xFF starts a two-byte character (that
//     byte and the next); every other byte is a character of its own. No
//     check is made that a pair is valid GBK. A byte 0x80-0xFF that is the
//     last byte of the text is a "dangling lead byte"; each scanner below
//     says what it does with one.
//   - Case folding maps A-Z (0x41-0x5A) to a-z and nothing else; no locale.
//   - No primitive fails: out-of-range positions, lengths and counts clamp,
//     and the result is empty, shortened or unchanged.
//   - Every operation is a pure function: it never modifies its arguments.
//
// All operations run in time linear in their input; the searches, the
// replacement and the split in O(length of T + length of what) also for
// inputs built to defeat them.
#ifndef ZHILAN_TEXT_TEXT_H_
#define ZHILAN_TEXT_TEXT_H_

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zl {

using Text = std::string;
using Bytes = std::vector<unsigned char>;
using TextArray = std::vector<Text>;

// Number of bytes of `t`.
int32_t text_len(std::string_view t);

// The operands joined in order.
Text text_concat(std::initializer_list<std::string_view> parts);

// Byte-wise comparison of unsigned bytes: -1 when `a` sorts first, 1 when `b`
// does, 0 when equal. At a common prefix the shorter text sorts first.
int text_compare(std::string_view a, std::string_view b);

// Position of the first occurrence of `what` in `t` at or after `start`.
//   Region: start omitted or <= 1: all of t; 1 < start <= len: bytes
//   start..len; start > len: empty.
//   Empty `what`: 1 when the region is non-empty (1, not `start`), else -1.
//   Candidates are character starts, stepping from the region's first byte
//   (so a start on the second byte of a pair treats it as a character
//   start). A dangling lead byte ends the scan.
//   fold: compare with A-Z folded on both sides (second bytes included).
int32_t text_find(std::string_view t, std::string_view what,
                  std::optional<int32_t> start = std::nullopt,
                  bool fold = false);

// Position of the last occurrence of `what` (overlapping ones count).
//   Region: start omitted: all of t; start <= 1: empty; start > 1: bytes
//   1..min(start - 1, len), a match lying wholly inside it.
//   Empty `what` and stepping as for text_find.
int32_t text_find_last(std::string_view t, std::string_view what,
                       std::optional<int32_t> start = std::nullopt,
                       bool fold = false);

// First / last min(n, len) bytes; empty when n <= 0. Bytes, not characters:
// a cut may split a two-byte character.
Text text_left(std::string_view t, int32_t n);
Text text_right(std::string_view t, int32_t n);

// n bytes from the 1-based `start`, cut at the end of t. Empty when
// start < 1, start > len or n <= 0 (start 0 is empty, not "from the first").
Text text_mid(std::string_view t, int32_t start, int32_t n);

// A-Z lowered in one-byte characters only; two-byte characters are copied
// unchanged. A dangling lead byte is copied and ends the walk.
Text text_lower(std::string_view t);

// Spaces are 0x20 and the full-width space A1 A1; tab, CR and LF are not.
// text_trim removes leading and trailing spaces. A dangling lead byte at the
// end is removed, and spaces in front of it stay.
Text text_trim(std::string_view t);

// Every space removed; a dangling lead byte is dropped.
Text text_strip_spaces(std::string_view t);

// `t` with occurrences of `what` replaced by `with` (omitted: deleted).
//   start omitted means 1: the first max(start - 1, 0) bytes are copied as
//   they are. count omitted or negative: no limit; 0: no replacement.
//   Result is t unchanged when t or what is empty, or start - 1 >= len.
//   Matches do not overlap, and the scan resumes after a match as at a
//   character start. Stepping is by characters. A dangling lead byte that
//   the scan reaches is dropped unless it matches; the scan reaches the last
//   byte only for a one-byte `what` and a count not yet used up, so for a
//   longer `what` the byte is kept.
//   case_sensitive false compares with A-Z folded.
Text text_replace(std::string_view t, std::string_view what,
                  std::optional<std::string_view> with = std::nullopt,
                  std::optional<int32_t> start = std::nullopt,
                  std::optional<int32_t> count = std::nullopt,
                  bool case_sensitive = false);

// The pieces of `t` between occurrences of `separator` (exact comparison).
//   separator omitted means ","; an explicitly empty separator gives one
//   element, all of t. count omitted: no limit; negative: 0. Empty t or
//   count 0 gives no elements. After `count` separators the scan stops and
//   the rest of t is not appended.
//   A leading separator gives a leading empty element, two adjacent ones an
//   empty element between them, a trailing one no trailing element.
TextArray text_split(std::string_view t,
                     std::optional<std::string_view> separator = std::nullopt,
                     std::optional<int32_t> count = std::nullopt);

// Decimal integer from the start of `t`. Full-width forms A3 A1..A3 FE fold
// to 0x21..0x7E and A1 A1 to a space first; leading 0x09-0x0D and 0x20 are
// skipped; one optional sign; digits accumulate in 32-bit arithmetic that
// wraps modulo 2^32. No digits gives 0. No other bases.
int32_t text_to_int(std::string_view t);

// n bytes 0x20; empty when n <= 0.
Text blank_text(int32_t n);

// Length of `b`.
int32_t bytes_len(const Bytes& b);

// The bytes of `t` without a terminator.
Bytes text_to_bytes(std::string_view t);

// The bytes of `b` before its first 0 byte (all of b when it has none). No
// encoding check. The rvalue form copies too (a vector's buffer cannot
// become a string's) but releases b's storage at once, leaving b empty.
Text bytes_to_text(const Bytes& b);
Text bytes_to_text(Bytes&& b);

// Position of the first occurrence of `what` in `b`, at any byte offset (no
// character stepping). Region as for text_find. An empty `what` is never
// found: -1.
int32_t bytes_find(const Bytes& b, const Bytes& what,
                   std::optional<int32_t> start = std::nullopt);

// First min(n, len) bytes; empty when n <= 0.
Bytes bytes_left(const Bytes& b, int32_t n);

// n bytes 0x00; empty when n <= 0.
Bytes blank_bytes(int32_t n);

// The operands joined in order.
Bytes bytes_concat(std::initializer_list<const Bytes*> parts);

// Appends `n` bytes at `data` to `b` in place, in amortised O(n). This is
// how a body read piece by piece grows without copying what it holds.
void bytes_append(Bytes& b, const void* data, int32_t n);

}  // namespace zl

#endif  // ZHILAN_TEXT_TEXT_H_
