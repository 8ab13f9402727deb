#pragma once

#include <string>
#include <string_view>

namespace anthora {

// libjpeg's own text for one of its message codes, with its parameters left out ("Premature
// end of JPEG file"); empty for a code it does not know.
std::string JpegMessageText(int code);

// A picture error as a teacher can act on it: a bare "JPEG error #N" gets the library's reason
// after it; any other message already says why and is kept as it is.
std::string PictureErrorInWords(std::string_view message);

}  // namespace anthora
