// The launcher's window icon in three sizes, as RGBA rows (top row first,
// not premultiplied), made by the icon tool at build time.
#pragma once

extern const unsigned char kWindowIcon16[16 * 16 * 4];
extern const unsigned char kWindowIcon32[32 * 32 * 4];
extern const unsigned char kWindowIcon48[48 * 48 * 4];
