// Files compiled into the program (window layouts, pictures, string tables).
#pragma once

#include <cstddef>
#include <string>

struct EmbeddedResource {
    const char* name;  // path below resources/, e.g. "forms/main.dfm"
    const unsigned char* data;
    std::size_t size;
};

const EmbeddedResource* FindEmbeddedResource(const char* name);
const EmbeddedResource* EmbeddedResources();  // ends with a null name

// The resource's bytes; raises EResNotFound when it is missing.
std::string LoadResourceText(const std::string& name);
