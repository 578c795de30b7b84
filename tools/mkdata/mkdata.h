// SPDX-License-Identifier: MIT
// The generator of the built-in data directory: font, pictures and sounds of
// every game in the catalogue.
#ifndef ZT_TOOLS_MKDATA_MKDATA_H
#define ZT_TOOLS_MKDATA_MKDATA_H

#include <string>

// Write the whole data directory into dir (created if missing); the same files,
// byte for byte, on every run. Returns 0, or 1 after printing why on stderr.
int zt_mkdata_write(const std::string& dir);

#endif
