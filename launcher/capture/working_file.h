// A file the launcher writes, made new beside its final name and given that
// name only when complete. Its working name belongs to this run alone:
// ".NAME.TAG.PID-N.partial" in the final name's folder, NAME cut short so
// the whole fits the 255 bytes a name may have. It is created exclusively
// (O_CREAT | O_EXCL | O_NOFOLLOW): a link, a FIFO or any file already
// standing at a name is never followed, truncated or written through; the
// next number is tried instead, so nothing left by an earlier run (killed,
// or with the same process number) ever blocks a later one. The finished
// file replaces the final name with rename(2), which replaces a link at that
// name rather than writing where it points. Working names still in use are
// kept in a table that a crash handler can empty (removeAllWorkingFiles).
#pragma once

#include <cstdio>
#include <string>

class WorkingFile {
  public:
    WorkingFile() = default;
    ~WorkingFile();  // discard() unless committed
    WorkingFile(const WorkingFile&) = delete;
    WorkingFile& operator=(const WorkingFile&) = delete;

    // Creates the working file for finalPath (mode 0666 less the umask, as
    // fopen would); tag says what it holds ("video", "song", ...). False with
    // error set when no working file can be made in that folder.
    bool create(const std::string& finalPath, const std::string& tag, std::string& error);
    const std::string& path() const { return path_; }
    // The descriptor (for a child to write through), or -1.
    int fd() const { return fd_; }
    // The file as a stdio stream for writing (owns the descriptor from then
    // on), or null.
    std::FILE* stream();
    // "/proc/self/fd/N": the file itself for a child that inherits the
    // descriptor at number N, whatever happens to its name meanwhile.
    static std::string inheritedPath(int childFd);

    // Writes everything buffered out to the disk (a full disk shows here at
    // the latest); false with error set.
    bool flush(std::string& error);
    // Closes the file; false with error set when a write-back failed.
    bool close(std::string& error);
    // Flushes, closes and renames it to finalPath (in the folder the file was
    // made in, wherever that folder is now); false with error set.
    bool commit(const std::string& finalPath, std::string& error);
    // Closes and removes it, if this object made it and it is still there.
    void discard();

  private:
    friend bool commitPair(WorkingFile&, const std::string&, WorkingFile&, const std::string&,
                           std::string&);
    // Forgets the working name and closes the folder's descriptor.
    void release();

    std::string path_;
    std::string name_;          // the working name inside the folder
    int folder_ = -1;           // the folder, as it was when the file was made
    unsigned long device_ = 0;  // the file this object made, by identity
    unsigned long inode_ = 0;
    int fd_ = -1;
    std::FILE* stream_ = nullptr;
    bool committed_ = false;
};

// Two working files of one folder (a raw capture's frames and song) given
// their final names together, or neither: what stood at those names before
// is back in place when the second cannot be renamed. Other runs renaming a
// pair in that folder wait meanwhile, so two pairs to one name never mix.
// False with error set.
bool commitPair(WorkingFile& first, const std::string& firstPath, WorkingFile& second,
                const std::string& secondPath, std::string& error);

// The working name of the given number for finalPath and tag in process
// pid: "dir/.NAME.TAG.PID-N.partial", NAME cut (at a whole character) so
// that the name fits 255 bytes.
std::string workingNameFor(const std::string& finalPath, const std::string& tag, long pid,
                           int number);

// Removes every working file this process still holds; async-signal-safe,
// for a handler of a fatal signal.
void removeAllWorkingFiles();
