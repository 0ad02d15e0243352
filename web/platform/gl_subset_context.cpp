// The current context in a browser: the WebGL 2 context Emscripten has
// current (its handle, never 0 for a context, and never handed out twice:
// Emscripten numbers its contexts from a counter that only goes up).
#include <emscripten/html5.h>

#include <cstdint>

#include "platform.h"

namespace sgl::platform {

const void* currentContext() {
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_get_current_context();
    return context > 0 ? reinterpret_cast<const void*>(static_cast<std::intptr_t>(context))
                       : nullptr;
}

bool handlesComeBack() {
    return false;
}

}  // namespace sgl::platform
