// SPDX-License-Identifier: MIT
// A data pack: a whole data folder in one file, each file deflated on its own
// so that opening a pack reads only its index and a file is inflated when it
// is loaded. `zentick-mkdata --pack` writes it.
//
// Layout, numbers little-endian:
//   "ZTPK", u32 version (1), u32 file count, u32 index length in bytes;
//   the index, one record per file: u32 offset of its data from the pack's
//   start, u32 deflated length, u32 length, u16 name length, the name (the
//   path below the data folder, '/' between folders: "condor/image/bg.bmp");
//   the files, each a zlib stream (deflate with its header and checksum).
#ifndef ZT_PLATFORM_DECODE_PACK_H
#define ZT_PLATFORM_DECODE_PACK_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ZT_Pack {
 public:
  static constexpr char kMagic[5] = "ZTPK";
  static constexpr uint32_t kVersion = 1;
  static constexpr size_t kHeaderSize = 16;
  static constexpr size_t kRecordSize = 14;  // before the name
  // The largest file a pack holds: what a damaged index may ask to allocate.
  static constexpr uint32_t kMaxFile = 64u << 20;

  struct Entry {
    std::string name;
    uint32_t offset;
    uint32_t stored;  // deflated length
    uint32_t size;
  };

  // The pack in `size` bytes at `data`, which the caller owns and keeps
  // unchanged while the pack lives (an array built into a program, say). The
  // bytes are not trusted: null, with the reason, for a damaged index.
  static std::unique_ptr<ZT_Pack> open_memory(const uint8_t* data, size_t size,
                                              std::string* reason);
  // The same for bytes the pack keeps.
  static std::unique_ptr<ZT_Pack> open_bytes(std::vector<uint8_t> bytes, std::string* reason);
  // The same for a file, read whole.
  static std::unique_ptr<ZT_Pack> open_file(const std::string& path, std::string* reason);

  // The file of that name, or null.
  const Entry* find(const std::string& name) const;
  // Inflates a file; false, with the reason, when its data is damaged.
  bool read(const Entry& entry, std::vector<uint8_t>* bytes, std::string* reason) const;
  // Every file, by name.
  const std::vector<Entry>& entries() const { return index; }
  // The pack's own bytes.
  size_t size_get() const { return size; }

 private:
  ZT_Pack() = default;
  bool parse(std::string* reason);

  const uint8_t* data = nullptr;
  size_t size = 0;
  std::vector<uint8_t> owned;
  std::vector<Entry> index;
};

#endif
