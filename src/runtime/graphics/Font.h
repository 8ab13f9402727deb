#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "runtime/base/Color.h"

namespace anthora {

enum TFontStyle : std::uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };

// A set of font styles.
class TFontStyles {
 public:
  constexpr TFontStyles() = default;
  constexpr TFontStyles(std::initializer_list<TFontStyle> styles) {
    for (const TFontStyle style : styles) FBits |= Bit(style);
  }

  constexpr bool Contains(TFontStyle style) const { return (FBits & Bit(style)) != 0; }
  constexpr void Include(TFontStyle style) { FBits |= Bit(style); }
  constexpr void Exclude(TFontStyle style) { FBits &= ~Bit(style); }
  constexpr bool Empty() const { return FBits == 0; }
  friend constexpr bool operator==(TFontStyles, TFontStyles) = default;

 private:
  static constexpr std::uint8_t Bit(TFontStyle style) {
    return static_cast<std::uint8_t>(1u << style);
  }
  std::uint8_t FBits = 0;
};

using TFontCharset = std::uint8_t;
inline constexpr TFontCharset ANSI_CHARSET = 0;
inline constexpr TFontCharset DEFAULT_CHARSET = 1;
inline constexpr TFontCharset RUSSIAN_CHARSET = 204;

// Screen resolution used to turn point sizes into pixel heights.
inline constexpr std::int32_t kScreenPixelsPerInch = 96;

// The attributes of a text font. Height is in pixels: negative for the character height (the
// em size), positive for the cell height (character height plus internal leading). Size is
// in points and is another view of Height.
class TFont {
 public:
  const std::string& Name() const { return FName; }
  void SetName(std::string_view name) { FName = name; }
  std::int32_t Height() const { return FHeight; }
  void SetHeight(std::int32_t height) { FHeight = height; }
  std::int32_t Size() const;
  void SetSize(std::int32_t points);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles style) { FStyle = style; }
  TColor Color() const { return FColor; }
  void SetColor(TColor color) { FColor = color; }
  TFontCharset Charset() const { return FCharset; }
  void SetCharset(TFontCharset charset) { FCharset = charset; }

  // Copies every attribute of the source.
  void Assign(const TFont& source) { *this = source; }
  friend bool operator==(const TFont&, const TFont&) = default;

 private:
  std::string FName = "MS Sans Serif";
  std::int32_t FHeight = -11;
  TFontStyles FStyle;
  TColor FColor = clWindowText;
  TFontCharset FCharset = DEFAULT_CHARSET;
};

}  // namespace anthora
