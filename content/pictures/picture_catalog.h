// The pictures that go into the archive, in archive order, with the texture
// slot each feeds, its side in texels and its JPEG quality.
#pragma once

#include "picture_image.h"

struct PictureSpec {
    const char* name;  // for the plain copy under pictures/
    int slot;
    int size;
    int quality;
    RgbImage (*paint)(int size);
};

constexpr int kPictureCount = 9;
extern const PictureSpec kPictureCatalog[kPictureCount];
