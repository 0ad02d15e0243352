// Implements the per-context state registry of the GL subset: one state per
// context handle the platform reports, found again by that handle.
#include "context.h"

#include "platform.h"
#include "renderer.h"

namespace sgl {

namespace {

struct Entry {
    const void* handle;
    std::unique_ptr<Context> context;
};

// Process-wide, as in the GL the subset stands in for: a GL call names no
// context, so the state is found by the context the platform reports
// current. It belongs to the contexts (the host draws through them too),
// not to a show, and outlives the module's Done and unload.
std::vector<Entry> contexts;
const void* lastHandle = nullptr;
Context* lastContext = nullptr;

}  // namespace

Context* current() {
    const void* handle = platform::currentContext();
    if (handle == nullptr) return nullptr;
    if (handle == lastHandle) return lastContext;
    Context* found = nullptr;
    for (Entry& entry : contexts) {
        if (entry.handle == handle) found = entry.context.get();
    }
    if (found == nullptr) {
        contexts.push_back({handle, std::make_unique<Context>()});
        found = contexts.back().context.get();
        prepareContext(*found);
    }
    lastHandle = handle;
    lastContext = found;
    return found;
}

Context* currentForVertex() {
    if (lastContext != nullptr && lastContext->primitive.open) return lastContext;
    return current();
}

void checkStillAlive(Context& context) {
    // The stream buffer exists for as long as the context that made it; a new
    // context under the same handle has none. Its old objects are gone with
    // the old context, so nothing is deleted, only forgotten. Where handles
    // never come back, a known handle is always the same context.
    if (!platform::handlesComeBack() || glIsBuffer(context.gpu.streamBuffer)) return;
    context = Context();
    prepareContext(context);
}

void recordError(Context& context, GLenum error) {
    if (context.error == GL_NO_ERROR) context.error = error;
}

}  // namespace sgl
