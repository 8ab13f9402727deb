// The cairo functions that the worksheet calls, each handing on to the library, which is loaded
// when the first of them is called: only a worksheet is drawn with cairo, and the library with
// the ones it needs would cost the quiz's start milliseconds and megabytes.
#include <cairo-pdf.h>
#include <cairo.h>

#include "platform/posix/LibraryOnUse.h"

ANTHORA_LIBRARY_LOADED_ON_USE(ANTHORA_CAIRO_LIBRARY, "cairo")

#define ANTHORA_CAIRO(...) ANTHORA_LIBRARY_FUNCTION(Symbol, __VA_ARGS__)

// Surfaces.
ANTHORA_CAIRO(cairo_surface_t*, cairo_pdf_surface_create_for_stream,
              (cairo_write_func_t write, void* closure, double width, double height),
              (write, closure, width, height))
ANTHORA_CAIRO(cairo_surface_t*, cairo_image_surface_create,
              (cairo_format_t format, int width, int height), (format, width, height))
ANTHORA_CAIRO(unsigned char*, cairo_image_surface_get_data, (cairo_surface_t * surface), (surface))
ANTHORA_CAIRO(int, cairo_image_surface_get_stride, (cairo_surface_t * surface), (surface))
ANTHORA_CAIRO(int, cairo_image_surface_get_width, (cairo_surface_t * surface), (surface))
ANTHORA_CAIRO(int, cairo_image_surface_get_height, (cairo_surface_t * surface), (surface))
ANTHORA_CAIRO(cairo_status_t, cairo_surface_status, (cairo_surface_t * surface), (surface))
ANTHORA_CAIRO(void, cairo_surface_flush, (cairo_surface_t * surface), (surface))
ANTHORA_CAIRO(void, cairo_surface_mark_dirty, (cairo_surface_t * surface), (surface))
ANTHORA_CAIRO(cairo_status_t, cairo_surface_set_mime_data,
              (cairo_surface_t * surface, const char* type, const unsigned char* data,
               unsigned long length, cairo_destroy_func_t destroy, void* closure),
              (surface, type, data, length, destroy, closure))
ANTHORA_CAIRO(void, cairo_surface_finish, (cairo_surface_t * surface), (surface))
ANTHORA_CAIRO(void, cairo_surface_destroy, (cairo_surface_t * surface), (surface))
ANTHORA_CAIRO(const char*, cairo_status_to_string, (cairo_status_t status), (status))

// Drawing.
ANTHORA_CAIRO(cairo_t*, cairo_create, (cairo_surface_t * target), (target))
ANTHORA_CAIRO(void, cairo_destroy, (cairo_t * cr), (cr))
ANTHORA_CAIRO(void, cairo_save, (cairo_t * cr), (cr))
ANTHORA_CAIRO(void, cairo_restore, (cairo_t * cr), (cr))
ANTHORA_CAIRO(void, cairo_translate, (cairo_t * cr, double x, double y), (cr, x, y))
ANTHORA_CAIRO(void, cairo_scale, (cairo_t * cr, double x, double y), (cr, x, y))
ANTHORA_CAIRO(void, cairo_set_source_rgb, (cairo_t * cr, double red, double green, double blue),
              (cr, red, green, blue))
ANTHORA_CAIRO(void, cairo_set_source_surface,
              (cairo_t * cr, cairo_surface_t* surface, double x, double y), (cr, surface, x, y))
ANTHORA_CAIRO(void, cairo_set_line_width, (cairo_t * cr, double width), (cr, width))
ANTHORA_CAIRO(void, cairo_move_to, (cairo_t * cr, double x, double y), (cr, x, y))
ANTHORA_CAIRO(void, cairo_line_to, (cairo_t * cr, double x, double y), (cr, x, y))
ANTHORA_CAIRO(void, cairo_rectangle,
              (cairo_t * cr, double x, double y, double width, double height),
              (cr, x, y, width, height))
ANTHORA_CAIRO(void, cairo_stroke, (cairo_t * cr), (cr))
ANTHORA_CAIRO(void, cairo_fill, (cairo_t * cr), (cr))
ANTHORA_CAIRO(void, cairo_clip, (cairo_t * cr), (cr))
ANTHORA_CAIRO(void, cairo_show_page, (cairo_t * cr), (cr))

// Text.
ANTHORA_CAIRO(void, cairo_select_font_face,
              (cairo_t * cr, const char* family, cairo_font_slant_t slant,
               cairo_font_weight_t weight),
              (cr, family, slant, weight))
ANTHORA_CAIRO(void, cairo_set_font_size, (cairo_t * cr, double size), (cr, size))
ANTHORA_CAIRO(void, cairo_text_extents,
              (cairo_t * cr, const char* text, cairo_text_extents_t* extents), (cr, text, extents))
ANTHORA_CAIRO(void, cairo_show_text, (cairo_t * cr, const char* text), (cr, text))
