// The six resolutions the launcher offers, in the order of its list.
#pragma once

struct Resolution {
    const char* text;
    int width;
    int height;
};

constexpr int kResolutionCount = 6;
constexpr int kDefaultResolutionIndex = 3;

constexpr Resolution kResolutions[kResolutionCount] = {
    {"320 x 240", 320, 240}, {"400 x 300", 400, 300}, {"512 x 384", 512, 384},
    {"640 x 480", 640, 480}, {"800 x 600", 800, 600}, {"1024 x 768", 1024, 768},
};

// Any index outside the list, including "no selection" (-1), gives 640 x 480.
constexpr Resolution resolutionForIndex(int index) {
    if (index < 0 || index >= kResolutionCount) return kResolutions[kDefaultResolutionIndex];
    return kResolutions[index];
}

// The list index of width x height, or -1 when it is not one of the six.
constexpr int resolutionIndexOf(int width, int height) {
    for (int i = 0; i < kResolutionCount; ++i) {
        if (kResolutions[i].width == width && kResolutions[i].height == height) return i;
    }
    return -1;
}
