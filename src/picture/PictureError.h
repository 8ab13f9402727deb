#pragma once

#include <string>

namespace anthora {

class Exception;

// A picture error as a teacher can act on it: a JPEG library error gets the library's reason,
// with its parameters, after its number; any other message already says why and is kept as it
// is. In the runtime's single-byte encoding, as the message.
std::string PictureErrorInWords(const Exception& error);

}  // namespace anthora
