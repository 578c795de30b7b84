// SPDX-License-Identifier: MIT
// The data pack's reader. The pack may come from anywhere, so every number in
// it is checked before it is used: records within the index, the index and
// each file's data within the pack, lengths a deflate stream can hold, names
// that are neither empty nor repeated.
#include "platform/decode/pack.h"

#include <algorithm>
#include <cstring>

#include "platform/decode/inflate.h"
#include "platform/decode/media.h"

namespace {

uint32_t le16(const uint8_t* p) { return p[0] | (p[1] << 8); }
uint32_t le32(const uint8_t* p) { return le16(p) | (le16(p + 2) << 16); }

// Deflate spends at least two bits on 258 bytes; a length beyond that is a lie.
const uint64_t kMaxRatio = 1032;

}  // namespace

std::unique_ptr<ZT_Pack> ZT_Pack::open_memory(const uint8_t* data, size_t size,
                                              std::string* reason) {
  std::unique_ptr<ZT_Pack> pack(new ZT_Pack);
  pack->data = data;
  pack->size = data ? size : 0;
  if (!pack->parse(reason)) return nullptr;
  return pack;
}

std::unique_ptr<ZT_Pack> ZT_Pack::open_bytes(std::vector<uint8_t> bytes, std::string* reason) {
  std::unique_ptr<ZT_Pack> pack(new ZT_Pack);
  pack->owned.swap(bytes);
  pack->data = pack->owned.data();
  pack->size = pack->owned.size();
  if (!pack->parse(reason)) return nullptr;
  return pack;
}

std::unique_ptr<ZT_Pack> ZT_Pack::open_file(const std::string& path, std::string* reason) {
  std::vector<uint8_t> bytes;
  if (!zt_decode::file_read(path, &bytes, reason)) return nullptr;
  std::unique_ptr<ZT_Pack> pack = open_bytes(std::move(bytes), reason);
  if (!pack) *reason = path + ": " + *reason;
  return pack;
}

bool ZT_Pack::parse(std::string* reason) {
  if (size < kHeaderSize || std::memcmp(data, kMagic, 4) != 0) {
    *reason = "not a Zentick data pack";
    return false;
  }
  if (le32(data + 4) != kVersion) {
    *reason = "data pack of another version (" + std::to_string(le32(data + 4)) + ")";
    return false;
  }
  const uint32_t count = le32(data + 8);
  const uint64_t index_length = le32(data + 12);
  if (index_length > size - kHeaderSize) {
    *reason = "damaged data pack: the index runs past the end";
    return false;
  }
  const uint8_t* at = data + kHeaderSize;
  const uint8_t* const end = at + index_length;
  // Each record takes room, so a count the index cannot hold is refused
  // before anything is allocated for it.
  if (count > index_length / (kRecordSize + 1)) {
    *reason = "damaged data pack: the index holds fewer files than it says";
    return false;
  }
  index.clear();
  index.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    if (static_cast<size_t>(end - at) < kRecordSize) {
      *reason = "damaged data pack: the index holds fewer files than it says";
      return false;
    }
    Entry e;
    e.offset = le32(at);
    e.stored = le32(at + 4);
    e.size = le32(at + 8);
    const size_t name_length = le16(at + 12);
    at += kRecordSize;
    if (name_length == 0 || name_length > static_cast<size_t>(end - at)) {
      *reason = "damaged data pack: a name runs past the index";
      return false;
    }
    e.name.assign(reinterpret_cast<const char*>(at), name_length);
    at += name_length;
    if (static_cast<uint64_t>(e.offset) + e.stored > size || e.size > kMaxFile ||
        e.size > kMaxRatio * e.stored) {
      *reason = "damaged data pack: the sizes of " + e.name + " are impossible";
      return false;
    }
    index.push_back(std::move(e));
  }
  if (at != end) {
    *reason = "damaged data pack: the index holds more than its files";
    return false;
  }
  std::sort(index.begin(), index.end(),
            [](const Entry& a, const Entry& b) { return a.name < b.name; });
  for (size_t i = 1; i < index.size(); ++i) {
    if (index[i - 1].name == index[i].name) {
      *reason = "damaged data pack: " + index[i].name + " is in it twice";
      return false;
    }
  }
  return true;
}

const ZT_Pack::Entry* ZT_Pack::find(const std::string& name) const {
  auto it = std::lower_bound(index.begin(), index.end(), name,
                             [](const Entry& e, const std::string& n) { return e.name < n; });
  return it != index.end() && it->name == name ? &*it : nullptr;
}

bool ZT_Pack::read(const Entry& entry, std::vector<uint8_t>* bytes, std::string* reason) const {
  if (!zt_decode::inflate_zlib(data + entry.offset, entry.stored, entry.size, bytes)) {
    bytes->clear();
    // What a file that cannot be read whole gives.
    *reason = "Error reading from datastream";
    return false;
  }
  return true;
}
