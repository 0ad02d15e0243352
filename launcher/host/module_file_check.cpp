// Implements the module file check with the ELF headers of <elf.h>: the file
// header, the program header table and each segment's extent in the file.
#include "host/module_file_check.h"

#include <elf.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace {

#if defined(__x86_64__)
constexpr int kMachine = EM_X86_64;
#elif defined(__aarch64__)
constexpr int kMachine = EM_AARCH64;
#else
constexpr int kMachine = EM_NONE;  // not checked
#endif

bool readAt(int fd, void* into, std::size_t bytes, off_t at) {
    auto* p = static_cast<char*>(into);
    while (bytes > 0) {
        const ssize_t n = ::pread(fd, p, bytes, at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        at += n;
        bytes -= static_cast<std::size_t>(n);
    }
    return true;
}

bool refuse(std::string& reason, const std::string& path, const char* why) {
    reason = path + ": " + why;
    return false;
}

}  // namespace

bool checkModuleFile(int fd, const std::string& path, std::string& reason) {
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        return refuse(reason, path, "not a regular file");
    }
    const auto size = static_cast<std::uint64_t>(st.st_size);
    Elf64_Ehdr header;
    if (size < sizeof header || !readAt(fd, &header, sizeof header, 0) ||
        std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0) {
        return refuse(reason, path, "not a shared library (no ELF header)");
    }
    if (header.e_ident[EI_CLASS] != ELFCLASS64 || header.e_type != ET_DYN) {
        return refuse(reason, path, "not a 64-bit shared library");
    }
    if (kMachine != EM_NONE && header.e_machine != kMachine) {
        return refuse(reason, path, "a shared library for another kind of processor");
    }
    if (header.e_phentsize != sizeof(Elf64_Phdr) || header.e_phnum == 0) {
        return refuse(reason, path, "a shared library without program headers");
    }
    const std::uint64_t tableBytes = std::uint64_t{header.e_phnum} * sizeof(Elf64_Phdr);
    if (header.e_phoff > size || tableBytes > size - header.e_phoff) {
        return refuse(reason, path, "cut short: its program headers lie past its end");
    }
    std::vector<Elf64_Phdr> segments(header.e_phnum);
    if (!readAt(fd, segments.data(), tableBytes, static_cast<off_t>(header.e_phoff))) {
        return refuse(reason, path, "its program headers cannot be read");
    }
    for (const Elf64_Phdr& s : segments) {
        if (s.p_type != PT_LOAD && s.p_type != PT_DYNAMIC) continue;
        if (s.p_offset > size || s.p_filesz > size - s.p_offset) {
            return refuse(reason, path, "cut short: a segment lies past its end");
        }
    }
    return true;
}
