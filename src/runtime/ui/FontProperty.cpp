#include "runtime/ui/FontProperty.h"

#include "runtime/files/PropertyValue.h"
#include "runtime/graphics/Font.h"

namespace anthora {

bool SetFontProperty(TFont& font, std::string_view name, const PropertyValue& value) {
  if (name == "Name") {
    font.SetName(value.AsString());
  } else if (name == "Height") {
    font.SetHeight(value.AsInteger());
  } else if (name == "Size") {
    font.SetSize(value.AsInteger());
  } else if (name == "Color") {
    font.SetColor(value.AsColor());
  } else if (name == "Charset") {
    font.SetCharset(static_cast<TFontCharset>(value.AsInteger()));
  } else if (name == "Style") {
    TFontStyles styles;
    for (const std::string& item : value.AsSet()) {
      if (item == "fsBold") {
        styles.Include(fsBold);
      } else if (item == "fsItalic") {
        styles.Include(fsItalic);
      } else if (item == "fsUnderline") {
        styles.Include(fsUnderline);
      } else if (item == "fsStrikeOut") {
        styles.Include(fsStrikeOut);
      } else {
        value.Fail("an unknown font style " + item);
      }
    }
    font.SetStyle(styles);
  } else {
    return false;
  }
  return true;
}

}  // namespace anthora
