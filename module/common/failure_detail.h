// Why the module's start failed, in words: the path and the system's reason
// behind the fixed text ("Loading Texture failed!") that the launcher's
// buffer receives. The host reads it through an optional export and prints
// it after the text; the message box keeps the fixed text alone.
#pragma once

#include <string>

// Replaces the detail (the first cause found is the one to keep, so callers
// set it where the failure is first seen).
void setFailureDetail(const std::string& text);
// Sets it only when nothing is set yet.
void noteFailureDetail(const std::string& text);
void clearFailureDetail();
const std::string& failureDetail();

// "path: reason" for the errno value, e.g. "/x/y: Permission denied".
std::string systemFailure(const std::string& path, int error);
