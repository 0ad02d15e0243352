// A scratch directory for the fuzz targets, made once per process under
// /dev/shm (or /tmp) and holding the working directory and the temporary one.
#pragma once

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

inline const std::string& fuzzScratch() {
    static const std::string path = [] {
        std::string pattern = access("/dev/shm", W_OK) == 0 ? "/dev/shm/sorvanel-fuzz-XXXXXX"
                                                            : "/tmp/sorvanel-fuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) abort();
        return pattern;
    }();
    return path;
}
