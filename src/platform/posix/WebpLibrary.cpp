// The WebP decoder's functions that the program calls, each handing on to the library, which
// is loaded when the first of them is called: only a WebP photo needs it. The header's inline
// functions call the ones named "Internal".
#include <webp/decode.h>

#include "platform/posix/LibraryOnUse.h"

ANTHORA_LIBRARY_LOADED_ON_USE(ANTHORA_WEBP_LIBRARY, "WebP")

#define ANTHORA_WEBP(...) ANTHORA_LIBRARY_FUNCTION(Symbol, __VA_ARGS__)

ANTHORA_WEBP(int, WebPInitDecoderConfigInternal, (WebPDecoderConfig * config, int version),
             (config, version))
ANTHORA_WEBP(VP8StatusCode, WebPGetFeaturesInternal,
             (const uint8_t* data, size_t size, WebPBitstreamFeatures* features, int version),
             (data, size, features, version))
ANTHORA_WEBP(VP8StatusCode, WebPDecode,
             (const uint8_t* data, size_t size, WebPDecoderConfig* config), (data, size, config))
ANTHORA_WEBP(void, WebPFreeDecBuffer, (WebPDecBuffer * buffer), (buffer))
