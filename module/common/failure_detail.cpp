// The module's one failure detail, kept until the next start.
#include "common/failure_detail.h"

#include <cstring>

namespace {

// Process-wide, outside the show's state: the host reads it after a failed
// Init has returned, and the layers below the show (the sound layer, the
// picture loads) note their causes here without a way to the show.
std::string detail;

}  // namespace

void setFailureDetail(const std::string& text) {
    detail = text;
}

void noteFailureDetail(const std::string& text) {
    if (detail.empty()) detail = text;
}

void clearFailureDetail() {
    detail.clear();
}

const std::string& failureDetail() {
    return detail;
}

std::string systemFailure(const std::string& path, int error) {
    return path + ": " + std::strerror(error);
}
