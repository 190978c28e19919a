#include "platform/rtl/resources.h"

#include "platform/rtl/sysutils.h"

std::string LoadResourceText(const std::string& name) {
    const EmbeddedResource* r = FindEmbeddedResource(name.c_str());
    if (!r) throw Exception("Resource " + name + " not found");
    return std::string(reinterpret_cast<const char*>(r->data), r->size);
}
