// SPDX-License-Identifier: MIT
// The software platform's own forms of what the decoders read.
#ifndef ZT_PLATFORM_PLAT_SOFT_MEDIA_H
#define ZT_PLATFORM_PLAT_SOFT_MEDIA_H

#include "platform/decode/media.h"
#include "platform/plat_soft.h"

namespace zt_soft {

// The picture in the frame's format with the colour key applied (null: none).
ZT_PlatformSoft_Image* bitmap_image(const zt_decode::Bitmap& bitmap, const ZT_Platform_RGB* key);

}  // namespace zt_soft

#endif
