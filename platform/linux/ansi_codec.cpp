#include "ansi_codec.h"

#include <iconv.h>

#include <cerrno>

namespace platform::linux_ {
namespace {

std::string convert(const char* to, const char* from, std::string_view text) {
  const iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(text);
  std::string out(text.size() * 4 + 4, '\0');
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  char* o = out.data();
  size_t outLeft = out.size();
  while (inLeft > 0) {
    if (iconv(cd, &in, &inLeft, &o, &outLeft) != static_cast<size_t>(-1)) break;
    if (errno != EILSEQ && errno != EINVAL) break;
    // Skip one undecodable byte (or character) and mark it.
    ++in;
    --inLeft;
    if (outLeft > 0) {
      *o++ = '?';
      --outLeft;
    }
  }
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

}  // namespace

std::string Utf8ToCp932(std::string_view utf8) { return convert("CP932", "UTF-8", utf8); }
std::string Cp932ToUtf8(std::string_view cp932) { return convert("UTF-8", "CP932", cp932); }

}  // namespace platform::linux_
