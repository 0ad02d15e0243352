// Implements the page's address over the launcher's command line: the query
// split and percent-decoded, each parameter turned into the option of its
// name, the whole read by parseCommandLine and made a show request; a refusal
// is prefixed with the parameter it names.
#include "options/page_address.h"

#include <cctype>
#include <cstring>

#include "options/option_table.h"

namespace {

struct Parameter {
    std::string name;
    std::string value;
    bool hasValue = false;  // `name=` as against a bare `name`
};

// Address names and the options they stand for; `shot` takes the file name
// talvenor's --shot wants after its time.
struct AddressName {
    const char* name;
    const char* option;
};
constexpr AddressName kNames[] = {
    {"start", "start"},
    {"window", "window"},
    {"fullscreen", "fullscreen"},
    {"nosound", "nosound"},
    {"controls", "controls"},
    {"loop", "loop"},
    {"widescreen", "widescreen"},
    {"msaa", "msaa"},
    {"audio-offset", "audio-offset"},
    {"nodialog", "no-dialog"},
    {"shot", "shot"},
    {"size", "size"},
    {"fps", "fps"},
};
constexpr const char* kShotFileName = "shot.png";

// Names that sharing services add to links: not settings, passed over.
bool linkDecoration(const std::string& name) {
    return name.rfind("utm_", 0) == 0 || name == "fbclid" || name == "gclid";
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// %XX and '+' decoded as a form's query is; false for a broken escape or a
// control character (which could cut the text short on its way on).
bool decode(const std::string& text, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '+') {
            c = ' ';
        } else if (c == '%') {
            const int high = i + 2 < text.size() ? hexDigit(text[i + 1]) : -1;
            const int low = i + 2 < text.size() ? hexDigit(text[i + 2]) : -1;
            if (high < 0 || low < 0) return false;
            c = static_cast<char>(high * 16 + low);
            i += 2;
        }
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return false;
        out += c;
    }
    return true;
}

std::string typed(const Parameter& p) {
    return p.hasValue ? p.name + "=" + p.value : p.name;
}

const char* optionOf(const std::string& name) {
    for (const AddressName& n : kNames) {
        if (name == n.name) return n.option;
    }
    return nullptr;
}

bool takesValue(const char* option) {
    for (const OptionSpec& spec : optionTable()) {
        if (std::strcmp(spec.name, option) == 0) return spec.argument != nullptr;
    }
    return false;
}

// Where the refusal first speaks of --option (not of a longer name it
// begins), or npos.
std::size_t mentionAt(const std::string& error, const std::string& option) {
    const std::string dashed = "--" + option;
    for (std::size_t at = error.find(dashed); at != std::string::npos;
         at = error.find(dashed, at + 1)) {
        const std::size_t after = at + dashed.size();
        if (after == error.size() ||
            !(std::isalnum(static_cast<unsigned char>(error[after])) || error[after] == '-')) {
            return at;
        }
    }
    return std::string::npos;
}

}  // namespace

const char* pageAddressNames() {
    return "start, window, fullscreen, nosound, controls, loop, widescreen, msaa, audio-offset, "
           "nodialog, shot, size, fps";
}

PageAddress readPageAddress(const std::string& query) {
    PageAddress address;
    std::vector<Parameter> parameters;
    std::size_t at = !query.empty() && query[0] == '?' ? 1 : 0;
    while (at <= query.size()) {
        std::size_t end = query.find('&', at);
        if (end == std::string::npos) end = query.size();
        const std::string piece = query.substr(at, end - at);
        at = end + 1;
        if (piece.empty()) continue;
        Parameter p;
        const std::size_t equals = piece.find('=');
        p.hasValue = equals != std::string::npos;
        if (!decode(piece.substr(0, equals), p.name) ||
            (p.hasValue && !decode(piece.substr(equals + 1), p.value))) {
            address.error = piece +
                            ": the address cannot be read there (a broken %-escape or a "
                            "control character)";
            return address;
        }
        if (linkDecoration(p.name)) continue;
        if (optionOf(p.name) == nullptr) {
            address.error = typed(p) + ": the page takes no such setting; it takes " +
                            std::string(pageAddressNames());
            return address;
        }
        parameters.push_back(p);
    }

    std::vector<std::string> args;
    for (const Parameter& p : parameters) {
        const char* name = optionOf(p.name);
        const std::string option = std::string("--") + name;
        // `nosound=` is `nosound`, as forms write a bare name.
        const bool bare = !p.hasValue || (p.value.empty() && !takesValue(name));
        if (p.name == "nodialog" && bare) address.noDialog = true;
        args.push_back(bare ? option : option + "=" + p.value);
        if (p.name == "shot") args.push_back(kShotFileName);
    }
    ParsedCommandLine parsed = parseCommandLine(args);
    address.options = parsed.options;
    if (!parsed.error.empty()) {
        // Named after the option the refusal speaks of first: its subject.
        const Parameter* subject = nullptr;
        std::size_t first = std::string::npos;
        for (const Parameter& p : parameters) {
            const std::size_t at = mentionAt(parsed.error, optionOf(p.name));
            if (at < first) {
                first = at;
                subject = &p;
            }
        }
        address.error = subject != nullptr ? typed(*subject) + ": " + parsed.error : parsed.error;
    }
    return address;
}
