// Implements the window helpers over the xdotool program, each call under a
// time limit so that a lost X connection cannot hang a test.
#include "x_window.h"

#include <cstdio>
#include <cstdlib>

namespace {

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'') {
            out += "'\\''";
        } else {
            out += c;
        }
    }
    return out + "'";
}

}  // namespace

bool sendKeyTo(const std::string& name, const std::string& key) {
    const std::string command = "timeout 10 xdotool search --name " + quoted(name) +
                                " key --window %1 " + quoted(key) + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

std::string windowTitle(const std::string& name) {
    const std::string command =
        "timeout 10 xdotool search --name " + quoted(name) + " getwindowname 2>/dev/null";
    std::FILE* p = ::popen(command.c_str(), "r");
    if (p == nullptr) return {};
    char text[256] = {};
    if (std::fgets(text, sizeof text, p) == nullptr) text[0] = '\0';
    ::pclose(p);
    std::string title = text;
    while (!title.empty() && (title.back() == '\n' || title.back() == '\r')) title.pop_back();
    return title;
}
