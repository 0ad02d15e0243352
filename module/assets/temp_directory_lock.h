// An exclusive lock on the private temporary directory, held from unpacking
// the archive to deleting the temporary files, so that shows started side by
// side never load, overwrite or delete each other's pictures. It is an flock
// on the directory itself: no file is made for it, and the kernel drops it
// when its holder dies, so a killed start never blocks the next one.
#pragma once

#include <chrono>
#include <string>

class TempDirectoryLock {
  public:
    // Waits for the lock on directory (a path ending with '/' or not), at
    // most timeout; after a second of waiting it says on stderr what it waits
    // for. When the lock cannot be had in time, nothing is held (held() is
    // false) and the failure detail says why.
    explicit TempDirectoryLock(const std::string& directory,
                               std::chrono::milliseconds timeout = std::chrono::seconds(10));
    ~TempDirectoryLock();
    TempDirectoryLock(const TempDirectoryLock&) = delete;
    TempDirectoryLock& operator=(const TempDirectoryLock&) = delete;

    bool held() const { return fd_ >= 0; }

  private:
    int fd_ = -1;
};
