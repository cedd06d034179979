#include "note.h"

#include <cstdio>

namespace platform {

void WriteNote(std::string_view text) {
  // Written as bytes: a %s would stop at the first NUL.
  std::fputs("pelmodesk: ", stderr);
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

}  // namespace platform
