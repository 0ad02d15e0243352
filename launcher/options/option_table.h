// The launcher's options as one table: each option's name, its argument, the
// lines --help prints, the paragraph the manual page prints, which run mode
// it belongs to, and what it does to the LaunchOptions. The parser, --help
// and the manual page are all made from this table.
#pragma once

#include <span>
#include <string>

#include "options/command_line.h"

// Which run a typed option belongs to, so that mixing modes can be refused
// with the option named.
enum class OptionScope {
    Any,      // --widescreen, --help, --version
    Mode,     // --capture, --shot, --list choose the run
    Live,     // the show in a window: --fullscreen, --start, --controls, ...
    Window,   // --window: the live window, or the picture of a capture or shot
    Output,   // a capture's or shot's pictures: --fps, --size
    Capture,  // --from, --to
};

// What an option's action works on while the command line is read.
struct OptionReading {
    LaunchOptions& options;
    std::string& error;
    // For --shot, whose second argument (the file) follows its time.
    int argc;
    char* const* argv;
    int& nextIndex;
};

// What an option does: sets a flag of the LaunchOptions, or reads its value.
struct OptionAction {
    using Apply = bool (*)(OptionReading& reading, const char* value);
    using Flag = bool& (*)(LaunchOptions& options);
    constexpr OptionAction(Flag member, bool value) : flag(member), set(value) {}
    template <typename Function>
    constexpr OptionAction(Function function) : apply(function) {}

    Flag flag = nullptr;  // the flag's place in the options
    bool set = true;
    // Reads the option's value; false with reading.error set.
    Apply apply = nullptr;
};

constexpr OptionAction flag(OptionAction::Flag member, bool value = true) {
    return {member, value};
}

struct OptionSpec {
    const char* name;      // without the leading dashes
    const char* argument;  // as --help shows it, or nullptr for none
    const char* help;      // --help's lines after the name, joined by '\n'
    const char* manual;    // the manual page's paragraph (troff)
    OptionScope scope;
    OptionAction action;
};

std::span<const OptionSpec> optionTable();

// The OPTIONS section of the manual page, in troff, from the table.
std::string manualOptionsSection();
