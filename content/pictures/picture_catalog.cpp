// The archive's entries in archive order: entry 0 feeds slot 1, ..., entry 7
// slot 0 and entry 8, the smallest, slot 3 (the haze the fades tint).
#include "picture_catalog.h"

#include "picture_painters.h"

const PictureSpec kPictureCatalog[kPictureCount] = {
    {"chrome_sky", 1, 512, 82, paintChromeSky},
    {"plasma", 2, 512, 80, paintPlasma},
    {"marble", 4, 512, 80, paintMarble},
    {"lava_stone", 5, 256, 82, paintLavaStone},
    {"nebula", 8, 512, 80, paintNebula},
    {"aurora", 6, 256, 82, paintAurora},
    {"sunset_sea", 7, 512, 82, paintSunsetSea},
    {"flare", 0, 256, 85, paintFlare},
    {"haze", 3, 256, 60, paintHaze},
};
