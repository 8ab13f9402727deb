#include "authoring/SetPreview.h"

#include <algorithm>
#include <filesystem>

#include "picture/Picture.h"
#include "platform/Utf8.h"
#include "platform/posix/DeferredTermination.h"
#include "runtime/base/Cp1251.h"
#include "runtime/base/Exceptions.h"
#include "runtime/base/Format.h"
#include "runtime/base/Translate.h"
#include "runtime/graphics/Canvas.h"

namespace anthora {

namespace {

constexpr TColor kFindingColor = clRed;
constexpr TColor kNoteColor = clGray;
constexpr TColor kCellFrameColor = clSilver;
constexpr TColor kProblemFrameColor = clRed;
constexpr std::int32_t kProblemFrameWidth = 3;
constexpr TColor kChosenColor = clBlue;
constexpr std::string_view kChosenMark = "\x95";  // "•"

// Windows-1251 of a UTF-8 text, for drawing; a character the code page lacks becomes '?'.
std::string DrawnText(std::string_view utf8) {
  std::string text;
  for (const char32_t c : DecodeUtf8(utf8)) {
    const unsigned byte = cp1251::FromUnicode(c);
    text += byte <= 0xFF ? static_cast<char>(byte) : '?';
  }
  return text;
}

// Text drawn line under line in a column, broken between words to fit its width, and cut
// with "…" where the column ends.
class TextColumn {
 public:
  TextColumn(TCanvas& canvas, std::int32_t lineHeight, std::int32_t left, std::int32_t top,
             std::int32_t width, int lines)
      : FCanvas(canvas),
        FLineHeight(lineHeight),
        FLeft(left),
        FTop(top),
        FWidth(width),
        FLinesLeft(lines) {}

  // One line as it is, cut at the column's edge.
  void Line(std::string_view text, TColor color, bool bold = false, std::int32_t indent = 0) {
    if (FLinesLeft <= 0) return;
    FCanvas.Font().SetColor(color);
    FCanvas.Font().SetStyle(bold ? TFontStyles{fsBold} : TFontStyles{});
    const TRect clip{FLeft, FTop, FLeft + FWidth, FTop + FLineHeight};
    FCanvas.TextRect(clip, FLeft + indent, FTop, text);
    FTop += FLineHeight;
    --FLinesLeft;
  }

  // A bold line with a note at its right end, which the line's own text never covers.
  void LineWithNote(std::string_view text, std::string_view note, TColor noteColor) {
    if (FLinesLeft <= 0) return;
    FCanvas.Font().SetStyle({fsBold});
    const std::int32_t noteWidth = note.empty() ? 0 : FCanvas.TextWidth(std::string(note));
    const std::int32_t noteLeft = FLeft + std::max(0, FWidth - noteWidth);
    FCanvas.Font().SetColor(noteColor);
    FCanvas.TextRect({noteLeft, FTop, FLeft + FWidth, FTop + FLineHeight}, noteLeft, FTop, note);
    FCanvas.Font().SetColor(clBlack);
    const std::int32_t gap = note.empty() ? 0 : FLineHeight / 2;
    FCanvas.TextRect({FLeft, FTop, std::max(FLeft, noteLeft - gap), FTop + FLineHeight}, FLeft,
                     FTop, text);
    FTop += FLineHeight;
    --FLinesLeft;
  }

  // A short text at the start of the next line, or indented, which is then drawn over it.
  void Label(std::string_view text, TColor color, std::int32_t indent = 0) {
    Line(text, color, false, indent);
    FTop -= FLineHeight;
    ++FLinesLeft;
  }

  // A paragraph broken into as many lines as it needs.
  void Paragraph(std::string_view text, TColor color) {
    while (!text.empty() && FLinesLeft > 0) {
      std::size_t fits = Fitting(text);
      if (FLinesLeft == 1 && fits < text.size()) {
        Line(std::string(text.substr(0, Fitting(text, "\x85"))) + "\x85", color);  // "…"
        return;
      }
      Line(text.substr(0, fits), color);
      text.remove_prefix(fits);
      while (text.starts_with(' ')) text.remove_prefix(1);
    }
  }

  void SkipLines(int lines) {
    FTop += lines * FLineHeight;
    FLinesLeft -= lines;
  }

 private:
  // How much of the text fits on a line (with the tail after it), broken after a blank
  // where there is one; at least one character.
  std::size_t Fitting(std::string_view text, std::string_view tail = {}) const {
    FCanvas.Font().SetStyle({});
    std::size_t fits = 1;
    while (fits < text.size() &&
           FCanvas.TextWidth(std::string(text.substr(0, fits + 1)) += tail) <= FWidth)
      ++fits;
    if (fits == text.size() || !tail.empty()) return fits;
    const std::size_t blank = text.substr(0, fits + 1).rfind(' ');
    return blank != std::string_view::npos && blank > 0 ? blank : fits;
  }

  TCanvas& FCanvas;
  std::int32_t FLineHeight;
  std::int32_t FLeft;
  std::int32_t FTop;
  std::int32_t FWidth;
  int FLinesLeft;
};

void DrawCrossedBox(TCanvas& canvas, const TRect& box) {
  canvas.FillRectWithColor(box, clWhite);
  canvas.Pen().SetColor(clGray);
  canvas.Brush().SetStyle(bsClear);
  canvas.Rectangle(box);
  canvas.MoveTo(box.Left, box.Top);
  canvas.LineTo(box.Right, box.Bottom);
  canvas.MoveTo(box.Right - 1, box.Top);
  canvas.LineTo(box.Left - 1, box.Bottom);
}

// The picture stretched over the box, as the quiz's picture box shows it; a crossed box when
// there is no file or it cannot be shown.
void DrawPicture(TCanvas& canvas, const std::string& path, const TRect& box) {
  if (!path.empty()) {
    try {
      TPicture picture;
      picture.LoadFromFile(path);
      if (TGraphic* graphic = picture.Graphic(); graphic && !graphic->Empty()) {
        graphic->Draw(canvas, box);
        return;
      }
    } catch (const Exception&) {
      // the checker's findings say why
    }
  }
  DrawCrossedBox(canvas, box);
}

const CheckedQuestion* QuestionAt(const CheckedSetFile& file, int index) {
  return index < static_cast<int>(file.First.size()) ? &file.First[index] : nullptr;
}

// The answers with the right one in bold, and a mark before each the program chose.
void DrawAnswers(TextColumn& column, std::string_view language, const CheckedQuestion* question,
                 std::uint8_t chosen) {
  if (!question) {
    // TRANSLATORS: %s is the label of the set's language, "EN" or "RU".
    column.Line(DrawnText(Format(Tr("%s: no such question"), {language})), kNoteColor);
    column.SkipLines(3);
    return;
  }
  constexpr std::int32_t kIndent = 24;
  column.Label(DrawnText(language), kNoteColor);
  constexpr std::int32_t kMarkIndent = 14;
  for (std::size_t k = 0; k < question->Answers.size(); ++k) {
    if (k < 8 && (chosen >> k & 1) != 0) column.Label(kChosenMark, kChosenColor, kMarkIndent);
    column.Line(question->Answers[k], clBlack, k == 0, kIndent);
  }
}

void DrawFindings(TextColumn& column, std::string_view language, const CheckedQuestion* question) {
  if (!question) return;
  for (const Finding& finding : question->Problems) {
    // TRANSLATORS: %1$s is the label of the set's language ("EN" or "RU"), %2$d the line of its
    // set file and %3$s the finding.
    column.Paragraph(
        DrawnText(Format(Tr("%1$s line %2$d: %3$s"), {language, finding.Line, finding.Text})),
        kFindingColor);
  }
}

// The English question's picture file; the Russian one's where the English has none.
std::string PictureOf(const CheckedQuestion* english, const CheckedQuestion* russian) {
  if (english && !english->PicturePath.empty()) return english->PicturePath;
  return russian ? russian->PicturePath : std::string();
}

int FindingsOf(const CheckedQuestion* question) {
  return question ? static_cast<int>(question->Problems.size()) : 0;
}

void DrawFrame(TCanvas& canvas, const TRect& cell, bool problems) {
  canvas.Brush().SetStyle(bsClear);
  if (!problems) {
    canvas.Pen().SetColor(kCellFrameColor);
    canvas.Rectangle(cell);
    return;
  }
  canvas.Pen().SetColor(kProblemFrameColor);
  for (std::int32_t inset = 0; inset < kProblemFrameWidth; ++inset)
    canvas.Rectangle(cell.Left + inset, cell.Top + inset, cell.Right - inset, cell.Bottom - inset);
}

void DrawCell(TCanvas& canvas, const PreviewLayout& layout, int index, const SetCheck& check,
              const PreviewOrigin* origin) {
  const CheckedQuestion* english = QuestionAt(check.English, index);
  const CheckedQuestion* russian = QuestionAt(check.Russian, index);
  const std::int32_t left = layout.CellLeft(index);
  const std::int32_t top = layout.CellTop(index);
  const CardLabels labels = LabelsOfCard(check, index, origin);

  DrawFrame(canvas, {left, top, left + layout.CellWidth(), top + layout.CellHeight()},
            !labels.Findings.empty());
  const std::int32_t pictureLeft = left + PreviewLayout::kMargin;
  const std::int32_t pictureTop = top + PreviewLayout::kMargin;
  DrawPicture(canvas, PictureOf(english, russian),
              {pictureLeft, pictureTop, pictureLeft + kPictureSide, pictureTop + kPictureSide});

  TextColumn column(canvas, layout.LineHeight, pictureLeft + kPictureSide + PreviewLayout::kMargin,
                    pictureTop, PreviewLayout::kTextWidth, PreviewLayout::kTextLines);
  column.LineWithNote(labels.Title, labels.Findings, kFindingColor);
  if (!labels.Origin.empty()) column.Line(labels.Origin, kNoteColor);
  // TRANSLATORS: the labels of the English and the Russian answers; two or three letters, as
  // they stand before the first answer.
  const std::string englishLabel = Tr("EN");
  const std::string russianLabel = Tr("RU");
  const auto at = static_cast<std::size_t>(index);
  const std::array<std::uint8_t, 2> chosen =
      origin && at < origin->Chosen.size() ? origin->Chosen[at] : std::array<std::uint8_t, 2>{};
  DrawAnswers(column, englishLabel, english, chosen[0]);
  DrawAnswers(column, russianLabel, russian, chosen[1]);
  DrawFindings(column, englishLabel, english);
  DrawFindings(column, russianLabel, russian);
}

}  // namespace

std::string PreviewHeader(const std::string& folder, const SetCheck& check) {
  const std::string name = folder.empty() ? "." : folder;
  const int english = check.English.Questions;
  const int russian = check.Russian.Questions;
  // TRANSLATORS: %1$s is the set, %2$s and %3$s how many questions each language has, %4$s
  // the tally of errors and warnings.
  return Format(Tr("%1$s: %2$s, %3$s; %4$s"),
                {name,
                 Counted(english, Tr("no English questions"),
                         TrN("%d English question", "%d English questions", english)),
                 Counted(russian, Tr("no Russian questions"),
                         TrN("%d Russian question", "%d Russian questions", russian)),
                 check.Problems.Tally()});
}

CardLabels LabelsOfCard(const SetCheck& check, int index, const PreviewOrigin* origin) {
  const CheckedQuestion* english = QuestionAt(check.English, index);
  const CheckedQuestion* russian = QuestionAt(check.Russian, index);
  const CheckedQuestion& shown = english ? *english : *russian;
  CardLabels labels;
  labels.Title = std::to_string(shown.Number) + "   " + shown.PictureName;
  const auto at = static_cast<std::size_t>(index);
  if (origin && at < origin->Rows.size() && at < origin->Photos.size()) {
    const std::string sheet = std::filesystem::path(origin->Sheet).filename().string();
    labels.Origin =
        DrawnText(Format(Tr("row %d of %s: %s"), {origin->Rows[at], sheet, origin->Photos[at]}));
  }
  if (const int findings = FindingsOf(english) + FindingsOf(russian); findings > 0)
    labels.Findings = DrawnText(
        Format(TrN("%d finding", "%d findings", static_cast<unsigned long>(findings)), {findings}));
  return labels;
}

std::int32_t PreviewLayout::CellWidth() const {
  return kMargin + kPictureSide + kMargin + kTextWidth + kMargin;
}
std::int32_t PreviewLayout::CellHeight() const {
  return kMargin + std::max(kPictureSide, kTextLines * LineHeight) + kMargin;
}
std::int32_t PreviewLayout::CellLeft(int index) const {
  return kMargin + (index % kColumns) * (CellWidth() + kMargin);
}
std::int32_t PreviewLayout::CellTop(int index) const {
  return HeaderHeight + (index / kColumns) * (CellHeight() + kMargin);
}

SetPreview DrawSetPreview(const std::string& folder, const SetCheck& check, const TFont& font,
                          PreviewLayout* layoutOut, const PreviewOrigin* origin) {
  SetPreview preview;
  preview.Questions = std::max(check.English.Questions, check.Russian.Questions);
  preview.Shown =
      static_cast<int>(std::max(check.English.First.size(), check.Russian.First.size()));

  TCanvas measure;
  measure.SetFont(font);
  PreviewLayout layout;
  layout.LineHeight = measure.TextHeight("Ag");
  const int columns = std::clamp(preview.Shown, 1, int{PreviewLayout::kColumns});
  const int rows = (preview.Shown + PreviewLayout::kColumns - 1) / PreviewLayout::kColumns;
  preview.Width = PreviewLayout::kMargin + columns * (layout.CellWidth() + PreviewLayout::kMargin);

  // The header: the tally, what was left out, and the findings about the files themselves.
  std::vector<std::pair<std::string, TColor>> header = {
      {DrawnText(PreviewHeader(folder, check)), clBlack}};
  if (preview.Shown < preview.Questions) {
    header.emplace_back(DrawnText(Format(TrN("Only the first %1$d of %2$d question are drawn.",
                                             "Only the first %1$d of %2$d questions are drawn.",
                                             static_cast<unsigned long>(preview.Questions)),
                                         {preview.Shown, preview.Questions})),
                        kNoteColor);
  }
  if (origin && std::any_of(origin->Chosen.begin(), origin->Chosen.end(),
                            [](const auto& marks) { return marks[0] != 0 || marks[1] != 0; }))
    header.emplace_back(
        std::string(kChosenMark) + " " +
            DrawnText(Tr("a wrong answer the program chose; type your own in the sheet where you "
                         "like another better")),
        kChosenColor);
  for (const auto* file : {&check.English, &check.Russian}) {
    for (const Finding& finding : file->AboutTheFile)
      header.emplace_back(DrawnText(finding.Format()), kFindingColor);
  }
  constexpr int kHeaderLines = 12;
  const int headerLines = std::min<int>(kHeaderLines, static_cast<int>(header.size()) + 1);
  layout.HeaderHeight = PreviewLayout::kMargin + headerLines * layout.LineHeight;
  preview.Height = layout.HeaderHeight + rows * (layout.CellHeight() + PreviewLayout::kMargin);

  preview.Pixels.assign(static_cast<std::size_t>(preview.Width) * preview.Height, 0x00FFFFFF);
  TCanvas canvas(preview.Surface());
  canvas.SetFont(font);
  canvas.Brush().SetStyle(bsClear);
  TextColumn top(canvas, layout.LineHeight, PreviewLayout::kMargin, PreviewLayout::kMargin,
                 preview.Width - 2 * PreviewLayout::kMargin, headerLines - 1);
  for (const auto& [text, color] : header) top.Paragraph(text, color);

  // A termination signal that waits stops the drawing: the sheet will not be written.
  for (int index = 0; index < preview.Shown && !DeferredTermination::Pending(); ++index)
    DrawCell(canvas, layout, index, check, origin);
  if (layoutOut) *layoutOut = layout;
  return preview;
}

}  // namespace anthora
