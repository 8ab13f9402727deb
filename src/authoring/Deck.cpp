#include "authoring/Deck.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "runtime/base/Cp1251.h"

namespace anthora {

bool IsDeckName(std::string_view path) {
  return path.size() > kDeckExtension.size() &&
         SameIgnoringAsciiCase(path.substr(path.size() - kDeckExtension.size()), kDeckExtension);
}

std::string HtmlEscaped(std::string_view text) {
  std::string escaped;
  for (const char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      case '\'':
        escaped += "&#39;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

namespace {

void AppendUtf8(std::string& text, char32_t c) {
  if (c == 0 || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = 0xFFFD;
  if (c < 0x80) {
    text += static_cast<char>(c);
  } else if (c < 0x800) {
    text += static_cast<char>(0xC0 | (c >> 6));
    text += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    text += static_cast<char>(0xE0 | (c >> 12));
    text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    text += static_cast<char>(0xF0 | (c >> 18));
    text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (c & 0x3F));
  }
}

struct NamedEntity {
  std::string_view Name;
  char32_t Character;
};

constexpr NamedEntity kEntities[] = {
    {"amp", U'&'},         {"lt", U'<'},          {"gt", U'>'},          {"quot", U'"'},
    {"apos", U'\''},       {"nbsp", U' '},        {"ndash", U'\u2013'},  {"mdash", U'\u2014'},
    {"laquo", U'\u00AB'},  {"raquo", U'\u00BB'},  {"hellip", U'\u2026'}, {"lsquo", U'\u2018'},
    {"rsquo", U'\u2019'},  {"ldquo", U'\u201C'},  {"rdquo", U'\u201D'},  {"shy", U'\u00AD'},
    {"eacute", U'\u00E9'}, {"egrave", U'\u00E8'}, {"auml", U'\u00E4'},   {"ouml", U'\u00F6'},
    {"uuml", U'\u00FC'},   {"szlig", U'\u00DF'},  {"ccedil", U'\u00E7'}, {"aacute", U'\u00E1'},
    {"iacute", U'\u00ED'}, {"oacute", U'\u00F3'}, {"uacute", U'\u00FA'}, {"ntilde", U'\u00F1'},
};

// Decodes the entity that starts at text[i] ('&') onto `out`, and returns the index after it;
// an '&' that starts no entity stays as it is.
std::size_t DecodeEntity(std::string_view text, std::size_t i, std::string& out) {
  // An entity's name is short: the ';' is looked for no further, so that a text of many '&'
  // takes no longer than a text of others.
  const std::size_t near = text.substr(i, 14).find(';');
  const std::size_t end = near == std::string_view::npos ? near : i + near;
  if (end == std::string_view::npos) {
    out += '&';
    return i + 1;
  }
  const std::string_view name = text.substr(i + 1, end - i - 1);
  if (name.size() >= 2 && name[0] == '#') {
    const bool hex = name[1] == 'x' || name[1] == 'X';
    const std::string_view digits = name.substr(hex ? 2 : 1);
    char32_t value = 0;
    bool valid = !digits.empty();
    for (const char c : digits) {
      int digit = -1;
      if (c >= '0' && c <= '9')
        digit = c - '0';
      else if (hex && c >= 'a' && c <= 'f')
        digit = c - 'a' + 10;
      else if (hex && c >= 'A' && c <= 'F')
        digit = c - 'A' + 10;
      if (digit < 0) valid = false;
      if (!valid) break;
      value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
      if (value > 0x10FFFF) value = 0x110000;
    }
    if (valid) {
      AppendUtf8(out, value);
      return end + 1;
    }
  }
  for (const NamedEntity& entity : kEntities) {
    if (entity.Name == name) {
      AppendUtf8(out, entity.Character);
      return end + 1;
    }
  }
  out += '&';
  return i + 1;
}

std::string Decoded(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] == '&') {
      i = DecodeEntity(text, i, out);
    } else {
      out += text[i++];
    }
  }
  return out;
}

// The tag's name in lower case, without a leading "/".
std::string TagName(std::string_view tag) {
  std::size_t start = tag.starts_with('/') ? 1 : 0;
  std::size_t end = start;
  while (end < tag.size() &&
         ((tag[end] >= 'a' && tag[end] <= 'z') || (tag[end] >= 'A' && tag[end] <= 'Z') ||
          (tag[end] >= '0' && tag[end] <= '9')))
    ++end;
  return AsciiLower(tag.substr(start, end - start));
}

// Where the tag that closes `name` starts, at or after `from`, in any letter case; the end of
// the text when none does.
std::size_t FindClosingTag(std::string_view html, const std::string& name, std::size_t from) {
  for (std::size_t at = html.find("</", from); at != std::string_view::npos;
       at = html.find("</", at + 2)) {
    if (AsciiLower(html.substr(at + 2, name.size())) == name) return at;
  }
  return html.size();
}

// Blanks as one, none at the ends.
std::string Squeezed(std::string_view text) {
  std::string out;
  bool blank = false;
  for (const char c : text) {
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v') {
      blank = !out.empty();
      continue;
    }
    if (blank) out += ' ';
    blank = false;
    out += c;
  }
  return out;
}

}  // namespace

std::string HtmlText(std::string_view html) {
  constexpr std::string_view kSound = "[sound:";
  constexpr std::size_t npos = std::string_view::npos;
  std::string text;
  // The next '<' and sound tag at or after i, each looked for again only once passed, so that
  // the field is read once however its tags lie.
  std::size_t tag = html.find('<');
  std::size_t sound = html.find(kSound);
  std::size_t i = 0;
  while (i < html.size()) {
    if (tag < i) tag = html.find('<', i);
    if (sound < i) sound = html.find(kSound, i);
    if (i == tag) {
      const std::size_t close = html.find('>', i);
      if (close == npos) break;
      const std::string_view inside = html.substr(i + 1, close - i - 1);
      const std::string name = TagName(inside);
      i = close + 1;
      if (!inside.starts_with('/') && (name == "script" || name == "style")) {
        i = FindClosingTag(html, name, i);
        continue;
      }
      if (name == "br" || name == "div" || name == "p" || name == "li" || name == "tr" ||
          name == "td" || name == "hr")
        text += ' ';
      continue;
    }
    if (i == sound) {
      const std::size_t close = html.find(']', i);
      if (close != npos) {
        i = close + 1;
        continue;
      }
      sound = npos;  // no later one is closed either
    }
    const std::size_t next = std::min({tag, sound, html.size()});
    if (next == i) {
      text += html[i++];
      continue;
    }
    text += Decoded(html.substr(i, next - i));
    i = next;
  }
  return Squeezed(text);
}

std::vector<std::string> HtmlImages(std::string_view html) {
  std::vector<std::string> images;
  std::size_t i = 0;
  while ((i = html.find('<', i)) != std::string_view::npos) {
    const std::size_t close = html.find('>', i);
    if (close == std::string_view::npos) break;
    const std::string_view tag = html.substr(i + 1, close - i - 1);
    i = close + 1;
    if (TagName(tag) != "img" || tag.starts_with('/')) continue;
    const std::string lower = AsciiLower(tag);
    std::size_t at = 0;
    while ((at = lower.find("src", at)) != std::string::npos) {
      const bool starts = at > 0 && (lower[at - 1] == ' ' || lower[at - 1] == '\t' ||
                                     lower[at - 1] == '\n' || lower[at - 1] == '/');
      std::size_t k = at + 3;
      at = k;
      if (!starts) continue;
      while (k < tag.size() && tag[k] == ' ') ++k;
      if (k >= tag.size() || tag[k] != '=') continue;
      ++k;
      while (k < tag.size() && tag[k] == ' ') ++k;
      std::string_view value;
      if (k < tag.size() && (tag[k] == '"' || tag[k] == '\'')) {
        const std::size_t end = tag.find(tag[k], k + 1);
        value = tag.substr(k + 1, (end == std::string_view::npos ? tag.size() : end) - k - 1);
      } else {
        std::size_t end = k;
        while (end < tag.size() && tag[end] != ' ' && tag[end] != '/') ++end;
        value = tag.substr(k, end - k);
      }
      images.push_back(Decoded(value));
      break;
    }
  }
  return images;
}

namespace {

std::uint32_t Rotated(std::uint32_t value, int bits) {
  return (value << bits) | (value >> (32 - bits));
}

std::array<std::uint32_t, 5> Sha1(std::string_view text) {
  std::array<std::uint32_t, 5> h = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
  std::string message(text);
  message += '\x80';
  while (message.size() % 64 != 56) message += '\0';
  const std::uint64_t bits = static_cast<std::uint64_t>(text.size()) * 8;
  for (int k = 7; k >= 0; --k) message += static_cast<char>((bits >> (k * 8)) & 0xFF);
  for (std::size_t block = 0; block < message.size(); block += 64) {
    std::array<std::uint32_t, 80> w{};
    for (int t = 0; t < 16; ++t) {
      for (int k = 0; k < 4; ++k)
        w[t] = (w[t] << 8) | static_cast<unsigned char>(message[block + t * 4 + k]);
    }
    for (int t = 16; t < 80; ++t) w[t] = Rotated(w[t - 3] ^ w[t - 8] ^ w[t - 14] ^ w[t - 16], 1);
    std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
    for (int t = 0; t < 80; ++t) {
      std::uint32_t f = 0;
      std::uint32_t k = 0;
      if (t < 20) {
        f = (b & c) | (~b & d);
        k = 0x5A827999;
      } else if (t < 40) {
        f = b ^ c ^ d;
        k = 0x6ED9EBA1;
      } else if (t < 60) {
        f = (b & c) | (b & d) | (c & d);
        k = 0x8F1BBCDC;
      } else {
        f = b ^ c ^ d;
        k = 0xCA62C1D6;
      }
      const std::uint32_t next = Rotated(a, 5) + f + e + k + w[t];
      e = d;
      d = c;
      c = Rotated(b, 30);
      b = a;
      a = next;
    }
    h[0] += a;
    h[1] += b;
    h[2] += c;
    h[3] += d;
    h[4] += e;
  }
  return h;
}

}  // namespace

std::uint32_t FieldChecksum(std::string_view text) {
  return Sha1(text)[0];
}

}  // namespace anthora
