// Finds the font file for a face name through fontconfig. The text effects
// want a heavy face ("Arial Black"); when the match is not heavy, or is
// another family, a heavy sans from the system's font packages stands in.
#pragma once

#include <string>

struct FontFaceFile {
    std::string path;             // empty when no scalable font was found at all
    int faceIndex = 0;            // index of the face inside the file
    std::string family;           // first family name of the chosen face
    int weight = 0;               // fontconfig weight (FC_WEIGHT_BLACK is 210)
    bool matchedRequest = false;  // the requested family itself, heavy enough
};

// The heavy outline font that serves faceName.
FontFaceFile findHeavyFontFace(const char* faceName);
