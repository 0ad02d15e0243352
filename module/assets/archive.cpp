// Implements the archive unpacking and the deletion of the temporary files.
// The archive is read once into one buffer; each entry that lies wholly
// within the bytes actually read is unscrambled and written with one write.
// A temporary file is always a new file that replaces its name, and one that
// cannot be written is skipped: the picture load that needs it then fails.
#include "assets/archive.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>

#include "assets/archive_key.h"
#include "common/data_files.h"
#include "common/failure_detail.h"
#include "common/plain_files.h"

namespace {

constexpr const char* kTempFileNames[kArchiveEntryCount] = {
    "ff00a1.tmp", "ff00a2.tmp", "ff00a3.tmp", "ff00a4.tmp", "ff00a5.tmp",
    "ff00a6.tmp", "ff00a7.tmp", "ff00a8.tmp", "ff00a9.tmp",
};

// Bytes beyond the last entry are ignored, so they are not even read.
std::size_t bytesNeeded() {
    std::size_t end = 0;
    for (const ArchiveEntry& entry : kArchiveEntries) {
        end = std::max(end, static_cast<std::size_t>(entry.offset) + entry.length);
    }
    return end;
}

// Reads up to capacity bytes; returns how many arrived.
std::size_t readUpTo(int fd, std::uint8_t* buffer, std::size_t capacity) {
    std::size_t filled = 0;
    while (filled < capacity) {
        const ssize_t got = read(fd, buffer + filled, capacity - filled);
        if (got <= 0) break;
        filled += static_cast<std::size_t>(got);
    }
    return filled;
}

bool writeAll(int fd, const std::uint8_t* bytes, std::size_t length) {
    std::size_t written = 0;
    while (written < length) {
        const ssize_t put = write(fd, bytes + written, length - written);
        if (put <= 0) return false;
        written += static_cast<std::size_t>(put);
    }
    return true;
}

// Each picture goes to a fresh file of its own (created exclusively, mode
// 0600) that then takes the name. Whatever stood at the name before, a file
// left by an earlier start, a link, a FIFO or another name of someone's file,
// is replaced, never written through.
void writeTempFile(const std::string& path, const std::uint8_t* bytes, std::size_t length) {
    std::string staging = path + ".XXXXXX";
    const int fd = mkostemp(staging.data(), O_CLOEXEC);
    if (fd < 0) {
        noteFailureDetail("a picture cannot be written: " + systemFailure(path, errno));
        return;
    }
    const bool complete = writeAll(fd, bytes, length);
    const int writeError = errno;
    const bool closed = close(fd) == 0;
    if (complete && closed && rename(staging.c_str(), path.c_str()) == 0) return;
    // A partial picture would only fail later and less clearly.
    noteFailureDetail("a picture cannot be written: " +
                      systemFailure(path, !complete ? writeError : errno));
    unlink(staging.c_str());
}

}  // namespace

const char* tempFileNameForSlot(int slot) {
    if (slot < 0 || slot >= kArchiveEntryCount) return "";
    return kTempFileNames[slot];
}

void unpackArchive(const std::string& tempDirectory) {
    if (tempDirectory.empty()) return;
    std::string why;
    const int fd = openPlainFile(dataFilePath(kArchiveFileName), false, why);
    if (fd < 0) {
        noteFailureDetail("the archive cannot be read: " + why);
        return;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        close(fd);
        return;
    }
    const std::size_t capacity =
        std::min(bytesNeeded(), static_cast<std::size_t>(std::max<off_t>(info.st_size, 0)));
    std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[capacity]);
    if (!buffer) {
        close(fd);
        return;
    }
    const std::size_t bytesRead = readUpTo(fd, buffer.get(), capacity);
    close(fd);

    for (const ArchiveEntry& entry : kArchiveEntries) {
        const std::size_t end = static_cast<std::size_t>(entry.offset) + entry.length;
        if (end > bytesRead) continue;
        std::uint8_t* bytes = buffer.get() + entry.offset;
        scrambleEntry(bytes, entry.length);
        writeTempFile(tempDirectory + entry.tempFileName, bytes, entry.length);
    }
}

void deleteTempFiles(const std::string& tempDirectory) {
    if (tempDirectory.empty()) return;
    for (const ArchiveEntry& entry : kArchiveEntries) {
        unlink((tempDirectory + entry.tempFileName).c_str());
    }
}
