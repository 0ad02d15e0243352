// A file the launcher writes, made new beside its final name and given that
// name only when complete. It is created exclusively (O_CREAT | O_EXCL |
// O_NOFOLLOW): a link, a FIFO or any file already standing at its name is
// refused, never followed, truncated or written through. The finished file
// replaces the final name with rename(2), which replaces a link at that name
// rather than writing where it points.
#pragma once

#include <cstdio>
#include <string>

class WorkingFile {
  public:
    WorkingFile() = default;
    ~WorkingFile();  // discard() unless committed
    WorkingFile(const WorkingFile&) = delete;
    WorkingFile& operator=(const WorkingFile&) = delete;

    // Creates path (mode 0666 less the umask, as fopen would). False with
    // error set (the path and why) when anything stands at path already or
    // the file cannot be made.
    bool create(const std::string& path, std::string& error);
    const std::string& path() const { return path_; }
    // The descriptor (for a child to write through), or -1.
    int fd() const { return fd_; }
    // The file as a stdio stream for writing (owns the descriptor from then
    // on), or null.
    std::FILE* stream();
    // "/proc/self/fd/N": the file itself for a child that inherits the
    // descriptor at number N, whatever happens to its name meanwhile.
    static std::string inheritedPath(int childFd);

    // Closes the file; false with error set when a write-back failed (a full
    // disk shows here at the latest).
    bool close(std::string& error);
    // Closes it and renames it to finalPath; false with error set.
    bool commit(const std::string& finalPath, std::string& error);
    // Closes and removes it, if this object made it and it is still there.
    void discard();

  private:
    std::string path_;
    unsigned long device_ = 0;  // the file this object made, by identity
    unsigned long inode_ = 0;
    int fd_ = -1;
    std::FILE* stream_ = nullptr;
    bool committed_ = false;
};
