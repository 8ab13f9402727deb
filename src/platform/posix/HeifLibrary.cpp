// The HEIF library's functions that the program calls, each handing on to the library, which
// is loaded when the first of them is called: only a HEIC or HEIF photo needs it, and loaded at
// every start it and its codecs would cost milliseconds and megabytes before the window appears.
#include <libheif/heif.h>

#include "platform/posix/LibraryOnUse.h"

ANTHORA_LIBRARY_LOADED_ON_USE(ANTHORA_HEIF_LIBRARY, "HEIF")

#define ANTHORA_HEIF(...) ANTHORA_LIBRARY_FUNCTION(Symbol, __VA_ARGS__)

// Reading a file.
ANTHORA_HEIF(heif_context*, heif_context_alloc, (void), ())
ANTHORA_HEIF(void, heif_context_free, (heif_context * context), (context))
ANTHORA_HEIF(void, heif_context_set_maximum_image_size_limit,
             (heif_context * context, int maximumWidth), (context, maximumWidth))
ANTHORA_HEIF(heif_error, heif_context_read_from_memory_without_copy,
             (heif_context * context, const void* data, size_t size,
              const heif_reading_options* options),
             (context, data, size, options))
ANTHORA_HEIF(heif_error, heif_context_get_primary_image_handle,
             (heif_context * context, heif_image_handle** handle), (context, handle))

// The image and its decoding.
ANTHORA_HEIF(void, heif_image_handle_release, (const heif_image_handle* handle), (handle))
ANTHORA_HEIF(int, heif_image_handle_get_width, (const heif_image_handle* handle), (handle))
ANTHORA_HEIF(int, heif_image_handle_get_height, (const heif_image_handle* handle), (handle))
ANTHORA_HEIF(heif_decoding_options*, heif_decoding_options_alloc, (), ())
ANTHORA_HEIF(void, heif_decoding_options_free, (heif_decoding_options * options), (options))
ANTHORA_HEIF(heif_error, heif_decode_image,
             (const heif_image_handle* handle, heif_image** image, heif_colorspace colorspace,
              heif_chroma chroma, const heif_decoding_options* options),
             (handle, image, colorspace, chroma, options))
ANTHORA_HEIF(int, heif_image_get_width, (const heif_image* image, heif_channel channel),
             (image, channel))
ANTHORA_HEIF(int, heif_image_get_height, (const heif_image* image, heif_channel channel),
             (image, channel))
ANTHORA_HEIF(const uint8_t*, heif_image_get_plane_readonly,
             (const heif_image* image, heif_channel channel, int* stride), (image, channel, stride))
ANTHORA_HEIF(void, heif_image_release, (const heif_image* image), (image))

// Metadata.
ANTHORA_HEIF(int, heif_image_handle_get_list_of_metadata_block_IDs,
             (const heif_image_handle* handle, const char* type, heif_item_id* ids, int count),
             (handle, type, ids, count))
ANTHORA_HEIF(size_t, heif_image_handle_get_metadata_size,
             (const heif_image_handle* handle, heif_item_id id), (handle, id))
ANTHORA_HEIF(heif_error, heif_image_handle_get_metadata,
             (const heif_image_handle* handle, heif_item_id id, void* data), (handle, id, data))
