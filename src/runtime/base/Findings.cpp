#include "runtime/base/Findings.h"

#include <algorithm>
#include <cstdio>

#include "platform/Utf8.h"
#include "runtime/base/Format.h"
#include "runtime/base/Translate.h"

namespace anthora {

namespace {

constexpr std::size_t kNameLimit = 1024;
// Beyond this many kinds, further findings of a file and severity count as one kind, so that
// findings the kinds cannot tell apart still stay few.
constexpr std::size_t kMaxKinds = 50;

bool Escaped(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2066 && c <= 0x2069) || c == 0x2028 || c == 0x2029;
}

void AppendEscape(std::string& out, std::string_view bytes, char32_t c, bool wellFormed) {
  char code[16];
  if (!wellFormed) {
    std::snprintf(code, sizeof code, "\\x%02X", static_cast<unsigned char>(bytes[0]));
  } else if (c == '\n') {
    std::snprintf(code, sizeof code, "\\n");
  } else if (c == '\t') {
    std::snprintf(code, sizeof code, "\\t");
  } else if (c == '\r') {
    std::snprintf(code, sizeof code, "\\r");
  } else if (c < 0x80) {
    std::snprintf(code, sizeof code, "\\x%02X", static_cast<unsigned>(c));
  } else {
    std::snprintf(code, sizeof code, "\\u%04X", static_cast<unsigned>(c));
  }
  out += code;
}

// The text with what a report quotes ('...' or "...") and its numbers left out.
std::string Shape(std::string_view text) {
  std::string shape;
  char quote = 0;
  for (const char c : text) {
    if (quote) {
      if (c == quote) {
        shape += c;
        quote = 0;
      }
    } else if (c == '\'' || c == '"') {
      shape += c;
      quote = c;
    } else if (c >= '0' && c <= '9') {
      if (shape.empty() || shape.back() != '#') shape += '#';
    } else {
      shape += c;
    }
  }
  return shape;
}

}  // namespace

std::string Shortened(std::string_view text, std::size_t limit) {
  std::string out;
  std::size_t characters = 0;
  for (std::size_t i = 0; i < text.size(); ++characters) {
    if (characters == limit) return out + "…";
    char32_t c = 0;
    const std::size_t taken = NextUtf8(text, i, c);
    if (taken == 0 || Escaped(c)) {
      AppendEscape(out, text.substr(i), c, taken > 0);
    } else {
      out.append(text.substr(i, taken));
    }
    i += taken > 0 ? taken : 1;
  }
  return out;
}

std::string Quoted(std::string_view text, std::size_t limit) {
  return "'" + Shortened(text, limit) + "'";
}

std::string Printable(std::string_view name) {
  return Shortened(name, kNameLimit);
}

std::string QuotedName(std::string_view name) {
  return Quoted(name, kNameLimit);
}

std::string Finding::Format() const {
  std::string text = Printable(File);
  if (Line > 0) text += ':' + std::to_string(Line);
  text += Severity == Level::Error ? ": error: " : ": warning: ";
  return text + Shortened(Text, std::string::npos);
}

std::string Findings::KindOf(const Finding& finding) const {
  const std::string bucket =
      finding.File + '\0' + (finding.Severity == Finding::Level::Error ? 'E' : 'W');
  std::string kind = bucket + '\0' + Shape(finding.Text);
  return FAlike.size() < kMaxKinds || FAlike.contains(kind) ? kind : bucket;
}

void Findings::Add(Finding finding) {
  (finding.Severity == Finding::Level::Error ? FErrors : FWarnings)++;
  if (++FAlike[KindOf(finding)] <= kMaxAlike) All.push_back(std::move(finding));
}

int Findings::Count(Finding::Level severity) const {
  return severity == Finding::Level::Error ? FErrors : FWarnings;
}

void Findings::SortByLine(std::size_t from) {
  std::stable_sort(All.begin() + static_cast<std::ptrdiff_t>(from), All.end(),
                   [](const Finding& a, const Finding& b) { return a.Line < b.Line; });
}

std::vector<std::string> Findings::Lines() const {
  std::vector<std::string> lines;
  std::map<std::string, int> shown;
  for (const Finding& finding : All) {
    lines.push_back(finding.Format());
    const std::string kind = KindOf(finding);
    const auto alike = FAlike.find(kind);
    if (++shown[kind] == kMaxAlike && alike != FAlike.end() && alike->second > kMaxAlike) {
      const Finding more{finding.File, 0, finding.Severity,
                         Format(TrN("and %d more like it", "and %d more like it",
                                    static_cast<unsigned long>(alike->second - kMaxAlike)),
                                {alike->second - kMaxAlike})};
      lines.push_back(more.Format());
    }
  }
  return lines;
}

std::string Counted(int count, const char* none, const char* some) {
  return count == 0 ? std::string(none) : Format(some, {count});
}

std::string Findings::Tally() const {
  const int errors = Count(Finding::Level::Error);
  const int warnings = Count(Finding::Level::Warning);
  // TRANSLATORS: the errors and the warnings of a check: "1 error, 2 warnings".
  return Format(Tr("%1$s, %2$s"),
                {Counted(errors, Tr("no errors"), TrN("%d error", "%d errors", errors)),
                 Counted(warnings, Tr("no warnings"), TrN("%d warning", "%d warnings", warnings))});
}

std::string Enumerated(const std::vector<std::string>& items, std::size_t named) {
  std::string text;
  for (std::size_t i = 0; i < std::min(items.size(), named); ++i) {
    // TRANSLATORS: what comes before the last item of a list: "2, 5 and 7".
    text += i == 0 ? "" : i + 1 == items.size() ? Tr(" and ") : ", ";
    text += items[i];
  }
  if (items.size() > named) {
    // TRANSLATORS: after a list of names: "'a.jpg', 'A.jpg' and 2 more".
    text +=
        Format(TrN(" and %d more", " and %d more", items.size() - named), {items.size() - named});
  }
  return text;
}

}  // namespace anthora
