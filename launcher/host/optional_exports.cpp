// Implements bindOptionalExports: each optional export looked up by name
// through the module loader (moduleExport).
#include "host/optional_exports.h"

OptionalExports bindOptionalExports(const ModuleBinding& binding) {
    OptionalExports e;
    bindDmdOptionalExports(e, [&](const char* name) { return moduleExport(binding, name); });
    return e;
}
