// Writes the archive and the module's entry table from one list of encoded
// pictures, so that offsets and lengths always match the bytes shipped.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct EncodedPicture {
    int slot;
    std::vector<std::uint8_t> jpeg;
};

// "ff00a1.tmp" for slot 0 up to "ff00a9.tmp" for slot 8.
std::string tempFileNameFor(int slot);

// The pictures back to back in the given order, each scrambled with the key.
std::vector<std::uint8_t> buildArchive(const std::vector<EncodedPicture>& pictures);

// C++ source defining kArchiveEntries for the same order.
std::string buildEntryTable(const std::vector<EncodedPicture>& pictures);

bool writeFile(const std::string& path, const void* data, std::size_t size);
