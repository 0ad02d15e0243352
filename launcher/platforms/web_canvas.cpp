// Implements WebCanvas over Emscripten's html5 WebGL calls.
#include "platforms/web_canvas.h"

#include <emscripten/html5.h>

namespace {

constexpr const char* kCanvas = "#canvas";

}  // namespace

WebCanvas::~WebCanvas() {
    releaseContext();
}

bool WebCanvas::create(int width, int height, bool fullScreen, std::string& error) {
    emscripten_set_canvas_element_size(kCanvas, width, height);
    if (!fullScreen) emscripten_set_element_css_size(kCanvas, width, height);
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_TRUE;
    attributes.stencil = EM_FALSE;
    attributes.antialias = EM_FALSE;
    attributes.premultipliedAlpha = EM_FALSE;
    attributes.preserveDrawingBuffer = EM_TRUE;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context =
        emscripten_webgl_create_context(kCanvas, &attributes);
    if (context <= 0) {
        error = "this browser offers no WebGL 2";
        return false;
    }
    context_ = context;
    if (!makeCurrent()) {
        error = "the WebGL 2 context cannot be made current";
        return false;
    }
    return true;
}

void WebCanvas::resize(int width, int height) {
    emscripten_set_canvas_element_size(kCanvas, width, height);
}

bool WebCanvas::makeCurrent() {
    return context_ > 0 && emscripten_webgl_make_context_current(
                               static_cast<EMSCRIPTEN_WEBGL_CONTEXT_HANDLE>(context_)) ==
                               EMSCRIPTEN_RESULT_SUCCESS;
}

void WebCanvas::releaseContext() {
    if (context_ <= 0) return;
    emscripten_webgl_make_context_current(0);
    emscripten_webgl_destroy_context(static_cast<EMSCRIPTEN_WEBGL_CONTEXT_HANDLE>(context_));
    context_ = 0;
}

int WebCanvas::drawableWidth() const {
    int width = 0;
    int height = 0;
    emscripten_get_canvas_element_size(kCanvas, &width, &height);
    return width;
}

int WebCanvas::drawableHeight() const {
    int width = 0;
    int height = 0;
    emscripten_get_canvas_element_size(kCanvas, &width, &height);
    return height;
}
