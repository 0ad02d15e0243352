// The launcher's command line: leading options of its own, then the module
// name, which is the whole remaining text converted to upper case.
#pragma once

#include <string>
#include <vector>

constexpr const char* kDefaultModuleName = "sorvanel.dmd";

struct LaunchOptions {
    std::string moduleName = kDefaultModuleName;
    int width = 640;
    int height = 480;
    bool fullScreen = false;
    bool soundEnabled = true;
    bool noDialog = false;
    bool showHelp = false;
};

struct ParsedCommandLine {
    LaunchOptions options;
    std::string error;  // non-empty: the command line cannot be used
};

// args are the arguments after the program name.
ParsedCommandLine parseCommandLine(const std::vector<std::string>& args);

// The module name from the text after the options: upper-cased (ASCII letters
// only, other bytes kept), or the default when it is empty.
std::string moduleNameFromText(const std::string& text);

const char* usageText();
