// Implements the read-back every surface shares: glReadPixels of the
// drawable into rows packed without padding; needs the surface's context
// current.
#include "host/surface.h"

#include <GL/gl.h>

#ifndef GL_BGRA
#define GL_BGRA 0x80E1
#endif

void Surface::readPixels(PixelOrder order, std::vector<std::uint8_t>& rows) const {
    const auto [width, height] = drawableSize();
    rows.resize(static_cast<std::size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, order == PixelOrder::Bgra ? GL_BGRA : GL_RGBA,
                 GL_UNSIGNED_BYTE, rows.data());
}
