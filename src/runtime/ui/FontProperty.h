#pragma once

#include <string_view>

namespace anthora {

class PropertyValue;
class TFont;

// Sets a font attribute read from a window description ("Name", "Height", "Size", "Style",
// "Color", "Charset"); false for any other name.
bool SetFontProperty(TFont& font, std::string_view name, const PropertyValue& value);

}  // namespace anthora
