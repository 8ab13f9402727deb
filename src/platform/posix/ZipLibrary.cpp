// The zip library's functions that the program calls, each handing on to the library, which
// is loaded when the first of them is called. Only set files and spreadsheets are zip
// archives; loaded at every start, the library and what it needs (a cryptography library
// among them) would cost milliseconds and megabytes before the window appears.
#include <zip.h>

#include "platform/posix/LibraryOnUse.h"

ANTHORA_LIBRARY_LOADED_ON_USE(ANTHORA_ZIP_LIBRARY, "zip")

#define ANTHORA_ZIP(...) ANTHORA_LIBRARY_FUNCTION(Symbol, __VA_ARGS__)

// Archives.
ANTHORA_ZIP(zip_t*, zip_open, (const char* path, int flags, int* error), (path, flags, error))
ANTHORA_ZIP(zip_t*, zip_fdopen, (int descriptor, int flags, int* error), (descriptor, flags, error))
ANTHORA_ZIP(zip_t*, zip_open_from_source, (zip_source_t * source, int flags, zip_error_t* error),
            (source, flags, error))
ANTHORA_ZIP(int, zip_close, (zip_t * archive), (archive))
ANTHORA_ZIP(void, zip_discard, (zip_t * archive), (archive))
ANTHORA_ZIP(const char*, zip_strerror, (zip_t * archive), (archive))
ANTHORA_ZIP(zip_int64_t, zip_get_num_entries, (zip_t * archive, zip_flags_t flags),
            (archive, flags))
ANTHORA_ZIP(int, zip_stat_index,
            (zip_t * archive, zip_uint64_t index, zip_flags_t flags, zip_stat_t* stat),
            (archive, index, flags, stat))
ANTHORA_ZIP(int, zip_file_get_external_attributes,
            (zip_t * archive, zip_uint64_t index, zip_flags_t flags, zip_uint8_t* system,
             zip_uint32_t* attributes),
            (archive, index, flags, system, attributes))
ANTHORA_ZIP(int, zip_compression_method_supported, (zip_int32_t method, int compress),
            (method, compress))

// Reading a file of an archive.
ANTHORA_ZIP(zip_file_t*, zip_fopen_index, (zip_t * archive, zip_uint64_t index, zip_flags_t flags),
            (archive, index, flags))
ANTHORA_ZIP(zip_int64_t, zip_fread, (zip_file_t * file, void* buffer, zip_uint64_t length),
            (file, buffer, length))
ANTHORA_ZIP(int, zip_fclose, (zip_file_t * file), (file))
ANTHORA_ZIP(const char*, zip_file_strerror, (zip_file_t * file), (file))

// Sources of archive data.
ANTHORA_ZIP(zip_source_t*, zip_source_buffer_create,
            (const void* data, zip_uint64_t length, int freeAfter, zip_error_t* error),
            (data, length, freeAfter, error))
ANTHORA_ZIP(zip_source_t*, zip_source_filep_create,
            (FILE * file, zip_uint64_t start, zip_int64_t length, zip_error_t* error),
            (file, start, length, error))

// Writing an archive.
ANTHORA_ZIP(zip_source_t*, zip_source_buffer,
            (zip_t * archive, const void* data, zip_uint64_t length, int freeAfter),
            (archive, data, length, freeAfter))
ANTHORA_ZIP(zip_source_t*, zip_source_file,
            (zip_t * archive, const char* path, zip_uint64_t start, zip_int64_t length),
            (archive, path, start, length))
ANTHORA_ZIP(void, zip_source_free, (zip_source_t * source), (source))
ANTHORA_ZIP(zip_int64_t, zip_file_add,
            (zip_t * archive, const char* name, zip_source_t* source, zip_flags_t flags),
            (archive, name, source, flags))
ANTHORA_ZIP(zip_int64_t, zip_dir_add, (zip_t * archive, const char* name, zip_flags_t flags),
            (archive, name, flags))
ANTHORA_ZIP(int, zip_set_file_compression,
            (zip_t * archive, zip_uint64_t index, zip_int32_t method, zip_uint32_t level),
            (archive, index, method, level))
ANTHORA_ZIP(int, zip_file_set_external_attributes,
            (zip_t * archive, zip_uint64_t index, zip_flags_t flags, zip_uint8_t system,
             zip_uint32_t attributes),
            (archive, index, flags, system, attributes))
ANTHORA_ZIP(int, zip_file_set_mtime,
            (zip_t * archive, zip_uint64_t index, time_t time, zip_flags_t flags),
            (archive, index, time, flags))
ANTHORA_ZIP(int, zip_register_cancel_callback_with_state,
            (zip_t * archive, zip_cancel_callback cancel, void (*free)(void*), void* state),
            (archive, cancel, free, state))

// Errors.
ANTHORA_ZIP(void, zip_error_init, (zip_error_t * error), (error))
ANTHORA_ZIP(void, zip_error_init_with_code, (zip_error_t * error, int code), (error, code))
ANTHORA_ZIP(int, zip_error_code_zip, (const zip_error_t* error), (error))
ANTHORA_ZIP(const char*, zip_error_strerror, (zip_error_t * error), (error))
ANTHORA_ZIP(void, zip_error_fini, (zip_error_t * error), (error))
