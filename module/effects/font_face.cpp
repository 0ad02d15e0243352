// fontconfig lookup of the outline font: the requested face when it is a heavy
// face of that family, else the first heavy family of a short list of
// stand-ins, else whatever scalable sans fontconfig offers so text still shows.
// Needs fontconfig.
#include "effects/font_face.h"

#include <fontconfig/fontconfig.h>
#include <strings.h>

#include <array>

namespace {

// Heavy sans families from Debian's font packages, in order of preference:
// fonts-roboto-unhinted, fonts-lato, fonts-noto-extra.
constexpr std::array<const char*, 4> kHeavyStandIns = {"Roboto", "Lato", "Noto Sans", "sans-serif"};

struct FaceInfo {
    FontFaceFile file;
    bool familyMatches = false;
};

FcPattern* makePattern(const char* family, bool wantBlack) {
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) return nullptr;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    if (wantBlack) {
        FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_BLACK);
        FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    }
    return pattern;
}

// The best match for family; false when fontconfig offers no outline file.
bool matchFace(const char* family, bool wantBlack, FaceInfo& out) {
    FcPattern* pattern = makePattern(family, wantBlack);
    if (pattern == nullptr) return false;
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr) return false;

    bool found = false;
    FcChar8* path = nullptr;
    FcBool outline = FcFalse;
    if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch &&
        FcPatternGetBool(match, FC_OUTLINE, 0, &outline) == FcResultMatch && outline) {
        found = true;
        out = FaceInfo{};
        out.file.path = reinterpret_cast<const char*>(path);
        FcPatternGetInteger(match, FC_INDEX, 0, &out.file.faceIndex);
        double weight = 0.0;
        if (FcPatternGetDouble(match, FC_WEIGHT, 0, &weight) == FcResultMatch) {
            out.file.weight = static_cast<int>(weight);
        } else {
            FcPatternGetInteger(match, FC_WEIGHT, 0, &out.file.weight);
        }
        FcChar8* name = nullptr;
        for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
            if (i == 0) out.file.family = reinterpret_cast<const char*>(name);
            if (strcasecmp(reinterpret_cast<const char*>(name), family) == 0) {
                out.familyMatches = true;
            }
        }
    }
    FcPatternDestroy(match);
    return found;
}

bool isHeavy(const FaceInfo& face) {
    return face.file.weight >= FC_WEIGHT_BLACK;
}

}  // namespace

FontFaceFile findHeavyFontFace(const char* faceName) {
    if (FcInit() == FcFalse) return {};

    FaceInfo requested;
    const bool haveRequested = faceName != nullptr && matchFace(faceName, false, requested);
    if (haveRequested && requested.familyMatches && isHeavy(requested)) {
        requested.file.matchedRequest = true;
        return requested.file;
    }
    for (const char* family : kHeavyStandIns) {
        FaceInfo standIn;
        if (matchFace(family, true, standIn) && isHeavy(standIn)) return standIn.file;
    }
    // No heavy face anywhere: any outline font beats invisible text.
    if (haveRequested) return requested.file;
    FaceInfo anySans;
    if (matchFace("sans-serif", false, anySans)) return anySans.file;
    return {};
}
