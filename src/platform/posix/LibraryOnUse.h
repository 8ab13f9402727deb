#pragma once

// A shared library whose functions the program defines itself, each handing on to the library,
// which is loaded when the first of them is called: what only some commands need then costs
// nothing at start. A loader lists the functions it hands on with ANTHORA_LIBRARY_FUNCTION; a
// function of the library that is not listed is a link error.
#include <dlfcn.h>

#include <stdexcept>
#include <string>

namespace anthora {

// A library that cannot be loaded, or lacks a function the program calls.
class LibraryLoadError : public std::runtime_error {
 public:
  LibraryLoadError(const std::string& library, const std::string& reason)
      : std::runtime_error("cannot load the " + library + " library: " + reason),
        FLibrary(library),
        FReason(reason) {}
  const std::string& Library() const { return FLibrary; }
  const std::string& Reason() const { return FReason; }

 private:
  std::string FLibrary;
  std::string FReason;
};

// The library of the SONAME, loaded now; `library` names it in errors ("zip").
inline void* LoadLibraryNow(const char* soname, const char* library) {
  void* handle = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) throw LibraryLoadError(library, dlerror());
  return handle;
}

inline void* LibrarySymbol(void* handle, const char* library, const char* name) {
  void* symbol = dlsym(handle, name);
  if (symbol == nullptr)
    throw LibraryLoadError(library, std::string("it has no ") + name + ": " + dlerror());
  return symbol;
}

}  // namespace anthora

// Defines a function of the library that SYMBOL finds: its result, name, parameters and the
// arguments it hands on.
#define ANTHORA_LIBRARY_FUNCTION(symbol, result, name, parameters, arguments)    \
  extern "C" result name parameters {                                            \
    static const auto real = reinterpret_cast<decltype(&::name)>(symbol(#name)); \
    return real arguments;                                                       \
  }

// Defines `Symbol`, which finds a function in the library of the SONAME, loading it the first
// time; `library` names it in errors.
#define ANTHORA_LIBRARY_LOADED_ON_USE(soname, library)                    \
  namespace {                                                             \
  void* Symbol(const char* name) {                                        \
    static void* const handle = anthora::LoadLibraryNow(soname, library); \
    return anthora::LibrarySymbol(handle, library, name);                 \
  }                                                                       \
  }
