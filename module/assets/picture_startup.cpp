// Implements loadPicturesFromArchive. Another show waiting for the lock finds
// the directory as this one left it: empty after a good start, the nine files
// after a failed one; and it unpacks afresh, truncating what is there.
#include "assets/picture_startup.h"

#include "assets/archive.h"
#include "assets/temp_directory_lock.h"

int loadPicturesFromArchive(const std::string& tempDirectory, TextureSlot* slots) {
    if (tempDirectory.empty()) return 0;
    const TempDirectoryLock lock(tempDirectory);
    unpackArchive(tempDirectory);
    for (int slot = 0; slot < kTextureSlotCount; ++slot) {
        const std::string path = tempDirectory + tempFileNameForSlot(slot);
        if (slots[slot].load(path.c_str(), 0, 1) == 0) return slot;
    }
    deleteTempFiles(tempDirectory);
    return -1;
}
