// The fontconfig functions that the program calls, each handing on to the library, which is
// loaded when the first of them is called. The font files of Debian's packages are found
// without it; only when they are missing does the program ask fontconfig for the nearest face,
// so that a usual start costs neither the library nor the reading of its configuration.
//
// A function of the library that is not listed here is a link error: add it to the list.
#include <dlfcn.h>
#include <fontconfig/fontconfig.h>

#include <stdexcept>
#include <string>

namespace {

void* Symbol(const char* name) {
  static void* const library = [] {
    void* handle = dlopen(ANTHORA_FONTCONFIG_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr)
      throw std::runtime_error(std::string("cannot load the fontconfig library: ") + dlerror());
    return handle;
  }();
  void* symbol = dlsym(library, name);
  if (symbol == nullptr)
    throw std::runtime_error(std::string("the fontconfig library has no ") + name + ": " +
                             dlerror());
  return symbol;
}

}  // namespace

// Defines a function of the library: its result, name, parameters and the arguments it hands on.
#define ANTHORA_FC(result, name, parameters, arguments)                          \
  extern "C" result name parameters {                                            \
    static const auto real = reinterpret_cast<decltype(&::name)>(Symbol(#name)); \
    return real arguments;                                                       \
  }

ANTHORA_FC(FcBool, FcInit, (void), ())
ANTHORA_FC(FcConfig*, FcConfigCreate, (void), ())
ANTHORA_FC(void, FcConfigDestroy, (FcConfig * config), (config))
ANTHORA_FC(FcBool, FcConfigParseAndLoadFromMemory,
           (FcConfig * config, const FcChar8* buffer, FcBool complain), (config, buffer, complain))
ANTHORA_FC(FcBool, FcConfigAppFontAddDir, (FcConfig * config, const FcChar8* folder),
           (config, folder))
ANTHORA_FC(FcPattern*, FcPatternCreate, (void), ())
ANTHORA_FC(void, FcPatternDestroy, (FcPattern * pattern), (pattern))
ANTHORA_FC(FcBool, FcPatternAddString,
           (FcPattern * pattern, const char* object, const FcChar8* value),
           (pattern, object, value))
ANTHORA_FC(FcBool, FcPatternAddInteger, (FcPattern * pattern, const char* object, int value),
           (pattern, object, value))
ANTHORA_FC(FcBool, FcPatternAddBool, (FcPattern * pattern, const char* object, FcBool value),
           (pattern, object, value))
ANTHORA_FC(FcResult, FcPatternGetString,
           (const FcPattern* pattern, const char* object, int n, FcChar8** value),
           (pattern, object, n, value))
ANTHORA_FC(FcResult, FcPatternGetInteger,
           (const FcPattern* pattern, const char* object, int n, int* value),
           (pattern, object, n, value))
ANTHORA_FC(FcResult, FcPatternGetBool,
           (const FcPattern* pattern, const char* object, int n, FcBool* value),
           (pattern, object, n, value))
ANTHORA_FC(FcBool, FcConfigSubstitute, (FcConfig * config, FcPattern* pattern, FcMatchKind kind),
           (config, pattern, kind))
ANTHORA_FC(void, FcDefaultSubstitute, (FcPattern * pattern), (pattern))
ANTHORA_FC(FcFontSet*, FcFontSort,
           (FcConfig * config, FcPattern* pattern, FcBool trim, FcCharSet** coverage,
            FcResult* result),
           (config, pattern, trim, coverage, result))
ANTHORA_FC(void, FcFontSetDestroy, (FcFontSet * fonts), (fonts))
