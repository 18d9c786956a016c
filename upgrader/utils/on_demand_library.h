#pragma once

#include <dlfcn.h>

namespace upgrader {

// A system library that the upgrader loads the first time it needs it, not at
// the program's start: libcurl and OpenSSL with their twenty libraries cost
// the window's first page time and memory, and nothing needs them before the
// first update check.

// Loads the library by its file name (as the dynamic loader searches it);
// null when it cannot be loaded, which is said once on standard error.
void* LoadOnDemand(const char* fileName);

// The library's function of that name, typed as declared; null when the
// library or the function is missing.
template <typename Function>
Function* ResolveOnDemand(void* library, const char* name) {
    return library ? reinterpret_cast<Function*>(::dlsym(library, name)) : nullptr;
}

}  // namespace upgrader

// The function `name` (as declared in the library's header) of the library
// that `library` (an expression) loads, resolved on the first use here and
// kept; null when the library or the function is missing.
#define UPGRADER_ON_DEMAND(library, name)                                  \
    [] {                                                                   \
        static auto* const function =                                      \
            ::upgrader::ResolveOnDemand<decltype(::name)>(library, #name); \
        return function;                                                   \
    }()
