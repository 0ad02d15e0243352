// Placeholder until the asset layer lands: every load fails.
#include "assets/archive.h"
#include "assets/temp_directory.h"
#include "assets/texture_slot.h"

const ArchiveEntry kArchiveEntries[kArchiveEntryCount] = {};
const char* tempFileNameForSlot(int) { return ""; }
void unpackArchive(const std::string&) {}
void deleteTempFiles(const std::string&) {}
std::string privateTempDirectory() { return {}; }
TextureSlot::~TextureSlot() = default;
int TextureSlot::load(const char*, int, int) { return 0; }
void TextureSlot::release() {}
void TextureSlot::bind() const {}
void TextureSlot::bindObjectLinear(int) const {}
void TextureSlot::bindSphereMap(int) const {}
void TextureSlot::bindPlain(int) const {}
void bindTextureSlot(const TextureSlot*, int, std::uint32_t) {}
