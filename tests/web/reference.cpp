// SPDX-License-Identifier: MIT
// Writes the frames the browser tests compare the page with, drawn natively by
// a session: the menu as it first appears (menu_0.rgb565) and after one Down
// (menu_1.rgb565), each as 640 x 480 RGB565 values, little-endian.
// Usage: zt-web-reference DATA_DIR OUT_DIR
#include <cstdio>
#include <string>

#include "session/session.h"

namespace {
// Advances until a frame is presented, then writes that frame.
bool write_next_frame(ZT_Session& session, const std::string& path) {
  for (int i = 0; i < 100 && !session.frame_new(); ++i) session.advance(1);
  FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return false;
  for (int i = 0; i < ZT_Session::kWidth * ZT_Session::kHeight; ++i) {
    std::fputc(session.frame()[i] & 0xff, out);
    std::fputc(session.frame()[i] >> 8, out);
  }
  return std::fclose(out) == 0;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s DATA_DIR OUT_DIR\n", argv[0]);
    return 2;
  }
  const std::string out = argv[2];
  try {
    ZT_Session::Data data;
    data.folder = argv[1];
    ZT_Session session(data);
    session.advance(1);
    bool written = write_next_frame(session, out + "/menu_0.rgb565");
    session.key_down(ZT_KEY_DOWN);
    session.advance(1);
    if (!written || !write_next_frame(session, out + "/menu_1.rgb565")) {
      std::fprintf(stderr, "no menu frame written to %s\n", out.c_str());
      return 1;
    }
  } catch (const ZT_Exception& e) {
    std::fprintf(stderr, "%s\n", e.message.c_str());
    return 1;
  }
  return 0;
}
