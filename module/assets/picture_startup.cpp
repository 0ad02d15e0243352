// Implements loadPicturesFromArchive. Another show waiting for the lock finds
// the directory as this one left it: empty after a good start, the nine files
// after a failed one; and it unpacks afresh, replacing what is there. A
// picture that cannot be loaded leaves its cause in the failure detail.
#include "assets/picture_startup.h"

#include "assets/archive.h"
#include "assets/temp_directory_lock.h"
#include "common/failure_detail.h"

int loadPicturesFromArchive(const std::string& tempDirectory, TextureSlot* slots) {
    if (tempDirectory.empty()) return 0;
    const TempDirectoryLock lock(tempDirectory);
    if (!lock.held()) return 0;
    unpackArchive(tempDirectory);
    for (int slot = 0; slot < kTextureSlotCount; ++slot) {
        const std::string path = tempDirectory + tempFileNameForSlot(slot);
        if (slots[slot].load(path.c_str(), 0, 1) == 0) {
            noteFailureDetail(path + ": the picture cannot be read as a JPEG picture");
            return slot;
        }
    }
    deleteTempFiles(tempDirectory);
    return -1;
}
