// The module's one failure detail, kept until the next start.
#include "common/failure_detail.h"

#include <cstring>

namespace {

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
