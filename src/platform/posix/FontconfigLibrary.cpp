// The fontconfig functions that the program calls, each handing on to the library, which is
// loaded when the first of them is called. The font files of Debian's packages are found
// without it; only when they are missing does the program ask fontconfig for the nearest face,
// so that a usual start costs neither the library nor the reading of its configuration.
#include <fontconfig/fontconfig.h>

#include "platform/posix/LibraryOnUse.h"

ANTHORA_LIBRARY_LOADED_ON_USE(ANTHORA_FONTCONFIG_LIBRARY, "fontconfig")

#define ANTHORA_FC(...) ANTHORA_LIBRARY_FUNCTION(Symbol, __VA_ARGS__)

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
