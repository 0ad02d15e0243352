// The loading picture shown while the module initialises: a dark banner with
// the word LOADING and the demo's name, drawn centred into the window.
#pragma once

constexpr int kLoadingBannerWidth = 457;
constexpr int kLoadingBannerHeight = 82;

// 24-bit RGB rows, top row first; made by the banner tool at build time.
extern const unsigned char kLoadingBannerPixels[kLoadingBannerWidth * kLoadingBannerHeight * 3];

// Clears the window to black and draws the banner centred, scaled down to fit
// a small window. Changes no state the module draws with but the clear
// colour, which it leaves black. Needs a current context.
void drawLoadingBanner(int clientWidth, int clientHeight);
