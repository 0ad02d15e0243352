// The module's JPEG layer, in four steps: initialise a record,
// read the picture's parameters (width, height), read the whole picture into
// a buffer of the caller's as tightly packed RGB or grey rows, release the
// record. Every step returns a status, 0 on success: a missing, corrupt,
// truncated or oversized file is a failure status, never an abort or a hang.
// Files are opened without following symbolic links.
#pragma once

#include <cstdint>

enum JpegStatus : int {
    kJpegOk = 0,
    kJpegBadArgument = 1,  // no record, no path, or an output that does not fit the picture
    kJpegOpenFailed = 2,   // missing, a symbolic link, not a regular file, unreadable
    kJpegReadFailed = 3,   // the file could not be read whole
    kJpegCorrupt = 4,      // not a JPEG, truncated, or corrupt data
    kJpegTooLarge = 5,     // file or picture beyond the limits below
    kJpegOutOfMemory = 6,
};

enum class JpegReadMode : int {
    kParameters = 0,    // fills width and height
    kWholePicture = 2,  // decodes into pixels as described by the output fields
};

enum JpegColorSpace : int {
    kJpegColorRgb = 1,
    kJpegColorGrey = 4,
};

// Pictures wider or taller than this are refused: no texture of the show is
// near it, and it bounds the pixel buffer a hostile file can ask for.
constexpr int kJpegMaxSide = 4096;
constexpr long kJpegMaxFileBytes = 64L * 1024 * 1024;

struct JpegFileBytes;

struct JpegRecord {
    // Set before the whole-picture read.
    std::uint8_t* pixels = nullptr;
    int outputWidth = 0;
    int outputHeight = 0;
    int outputChannels = 0;    // 3, or 1 for grey
    int outputColorSpace = 0;  // kJpegColorRgb with 3 channels, kJpegColorGrey with 1
    // Set before the parameter read.
    const char* filePath = nullptr;
    // Filled by the parameter read.
    int width = 0;
    int height = 0;
    // The file's bytes, kept from the parameter read for the picture read.
    JpegFileBytes* file = nullptr;
};

int jpegInitRecord(JpegRecord* record);
int jpegRead(JpegRecord* record, JpegReadMode mode);
int jpegReleaseRecord(JpegRecord* record);
