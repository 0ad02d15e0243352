// The context probe in a browser: the WebGL 2 context Emscripten has current.
#include <emscripten/html5.h>

#include <cstdint>

#include "common/gl_context_probe.h"

const void* currentGlContext() {
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_get_current_context();
    return context > 0 ? reinterpret_cast<const void*>(static_cast<std::intptr_t>(context))
                       : nullptr;
}
