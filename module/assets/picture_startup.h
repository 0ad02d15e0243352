// The picture steps of the module's start: unpack the archive into the
// private directory, load the nine texture slots from the temporary files,
// delete them. The whole sequence runs under the directory's lock.
#pragma once

#include <string>

#include "assets/texture_slot.h"

// -1 when all nine slots loaded (the temporary files are then deleted), else
// the first slot that failed (the files stay for a later start).
int loadPicturesFromArchive(const std::string& tempDirectory, TextureSlot* slots);
