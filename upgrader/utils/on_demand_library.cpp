#include "upgrader/utils/on_demand_library.h"

#include <cstdio>

namespace upgrader {

void* LoadOnDemand(const char* fileName) {
    void* library = ::dlopen(fileName, RTLD_NOW | RTLD_LOCAL);
    if (!library)
        std::fprintf(stderr, "quorvane: %s\n", ::dlerror());
    return library;
}

}  // namespace upgrader
