// Sections: grades and the seed that deals the answers; reading the set; drawing with cairo
// (text, lines, pictures, crossed boxes); the header, the questions and the answer key; the PDF.
#include "authoring/Worksheet.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>

#include "authoring/SetChecker.h"
#include "picture/Jpeg.h"
#include "quiz/Dealing.h"
#include "quiz/QuestionSet.h"
#include "quiz/Scoring.h"
#include "quiz/SetArchive.h"
#include "runtime/base/Cp1251.h"
#include "runtime/base/Format.h"
#include "runtime/base/Random.h"
#include "runtime/base/Translate.h"
#include "runtime/files/Paths.h"
#include "runtime/files/Stream.h"
#include "runtime/files/WholeFile.h"
#include "runtime/graphics/Bitmap.h"

namespace anthora {

std::vector<GradeRange> GradeRanges(std::int32_t count) {
  std::vector<GradeRange> ranges;
  if (count < 1) return ranges;
  const auto grade = [count](std::int32_t right) {
    return std::strtol(GradeText(right, count).c_str(), nullptr, 10);
  };
  // The grade grows with the right answers and only all of them give a 5, so each grade's
  // first count is found by halving: a count line may say two thousand million.
  const auto firstReaching = [&](long wanted) {
    std::int32_t low = 0;
    std::int32_t high = count;
    while (low < high) {
      const std::int32_t middle = low + (high - low) / 2;
      if (grade(middle) >= wanted) {
        high = middle;
      } else {
        low = middle + 1;
      }
    }
    return low;
  };
  ranges.push_back({5, count, count});
  std::int32_t above = count;  // the first count of the grade above
  for (int wanted = 4; wanted >= 0; --wanted) {
    const std::int32_t from = wanted == 0 ? 0 : firstReaching(wanted);
    ranges.push_back({wanted, from, above - 1});
    above = from;
  }
  return ranges;
}

std::uint32_t DealingSeed(const std::vector<SetRecord>& records) {
  // FNV-1a over every line of every record, each ended by a zero byte.
  std::uint32_t hash = 2166136261u;
  const auto add = [&hash](std::string_view text) {
    for (const char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    hash *= 16777619u;
  };
  for (const SetRecord& record : records) {
    add(record.PictureName);
    for (const std::string& answer : record.Answers) add(answer);
  }
  return hash;
}

Worksheet ReadWorksheet(const std::string& folder, std::string_view setFile,
                        const std::string& shown) {
  const std::string path = JoinPath(folder, setFile);
  const std::string shownPath = JoinPath(shown, setFile);
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (error || !std::filesystem::is_regular_file(status))
    throw SetFileError(Format(Tr("%s: not a question set file"), {Printable(shownPath)}));
  if (std::filesystem::file_size(path, error) > kMaxSetFileBytes || error)
    throw SetFileError(
        Format(Tr("%s: larger than any question set, not read"), {Printable(shownPath)}));

  Worksheet sheet;
  std::vector<SetRecord> records;
  SetFileReader reader;
  reader.Open(path);
  try {
    sheet.Count = reader.ReadCount();
  } catch (const EConvertError&) {
    sheet.Count = 0;
  }
  for (std::string name = reader.ReadPictureName(); !name.empty();
       name = reader.ReadPictureName()) {
    if (records.size() == kMaxWorksheetQuestions) {
      // TRANSLATORS: %d is how many questions a worksheet prints at most.
      sheet.Problems.Warning(shownPath, PictureNameLine(records.size()),
                             Format(Tr("only the first %d questions are printed"),
                                    {static_cast<int>(kMaxWorksheetQuestions)}));
      break;
    }
    records.push_back({name, reader.ReadAnswers()});
  }
  if (sheet.Count < 1)
    sheet.Problems.Warning(shownPath, 1,
                           Tr("the count line gives no number of questions to grade by: the "
                              "worksheet has no score table"));

  RandomGenerator generator(DealingSeed(records));
  PictureFinder finder(folder);
  for (const SetRecord& record : records) {
    WorksheetQuestion question;
    question.PictureName = Cp1251ToUtf8(record.PictureName);
    question.PicturePath = finder.Locate(record.PictureName).Path;
    question.PictureShown = JoinPath(shown, Cp1251ToUtf8(PicturePath(record.PictureName)));
    const std::array<int, 4> slots = DealAnswerSlots(generator);
    for (std::size_t k = 0; k < slots.size(); ++k) {
      question.Answers[k] = Cp1251ToUtf8(record.Answers[static_cast<std::size_t>(slots[k] - 1)]);
      if (slots[k] == 1) question.Right = static_cast<int>(k);
    }
    sheet.Questions.push_back(std::move(question));
  }
  sheet.Grades = GradeRanges(sheet.Count);
  return sheet;
}

namespace {

// A4 in points, and where things lie on it.
constexpr double kPageWidth = 595.28;
constexpr double kPageHeight = 841.89;
constexpr double kMargin = 42;
constexpr double kGridTop = 128;
constexpr double kGridBottom = 806;
constexpr double kPictureSide = 128;
constexpr double kAnswerLine = 19;
constexpr double kBoxSide = 10;
constexpr const char* kFace = "Liberation Sans";

struct CairoDeleter {
  void operator()(cairo_t* cairo) const { cairo_destroy(cairo); }
  void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using Cairo = std::unique_ptr<cairo_t, CairoDeleter>;
using Surface = std::unique_ptr<cairo_surface_t, CairoDeleter>;

cairo_status_t WriteToFile(void* closure, const unsigned char* data, unsigned int length) {
  return std::fwrite(data, 1, length, static_cast<std::FILE*>(closure)) == length
             ? CAIRO_STATUS_SUCCESS
             : CAIRO_STATUS_WRITE_ERROR;
}

void Font(cairo_t* cr, double size, bool bold = false) {
  cairo_select_font_face(cr, kFace, CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
}

double TextWidth(cairo_t* cr, const std::string& text) {
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text.c_str(), &extents);
  return extents.x_advance;
}

// Text from its baseline's left end, made smaller to fit the width, down to a size still read
// on paper, and cut off beyond it.
void Text(cairo_t* cr, double x, double y, const std::string& text, double width, double size,
          bool bold = false) {
  Font(cr, size, bold);
  const double natural = TextWidth(cr, text);
  if (natural > width) Font(cr, std::max(size * width / natural, 6.0), bold);
  cairo_save(cr);
  cairo_rectangle(cr, x, y - size * 1.5, width, size * 2.5);
  cairo_clip(cr);
  cairo_move_to(cr, x, y);
  cairo_show_text(cr, text.c_str());
  cairo_restore(cr);
}

void Line(cairo_t* cr, double x1, double y1, double x2, double y2, double width = 0.8) {
  cairo_set_line_width(cr, width);
  cairo_move_to(cr, x1, y1);
  cairo_line_to(cr, x2, y2);
  cairo_stroke(cr);
}

void CrossedBox(cairo_t* cr, double x, double y, double side) {
  cairo_set_source_rgb(cr, 0.5, 0.5, 0.5);
  cairo_set_line_width(cr, 1);
  cairo_rectangle(cr, x, y, side, side);
  cairo_stroke(cr);
  Line(cr, x, y, x + side, y + side, 1);
  Line(cr, x + side, y, x, y + side, 1);
  cairo_set_source_rgb(cr, 0, 0, 0);
}

void FreeBytes(void* bytes) {
  std::free(bytes);
}

// The picture's JPEG decoded, to be sure it can be printed and for printers that cannot take
// the JPEG itself, with the JPEG's own bytes attached so that the PDF carries them unchanged.
// Throws a refusal or the picture layer's exceptions with the reason.
Surface PictureSurface(const std::string& path) {
  const FileBytes bytes = ReadWholeFile(path, kMaxWorksheetPictureBytes);
  TMemoryStream stream;
  stream.Write(bytes.Data.get(), bytes.Size);
  stream.Seek(0, TSeekOrigin::soBeginning);
  TJPEGImage jpeg;
  TJPEGOptions options = jpeg.Options();
  options.OutputDepth = TJPEGOutputDepth::od24Bit;
  options.ScaleDown = TJPEGScale::jsFullSize;
  jpeg.SetOptions(options);
  jpeg.LoadFromStream(stream);
  if (jpeg.Empty() ||
      static_cast<std::int64_t>(jpeg.Width()) * jpeg.Height() > kMaxWorksheetPicturePixels)
    throw ERefusal(Tr("the picture is empty or too large to print"));
  TBitmap decoded(jpeg.Bitmap());
  if (decoded.PixelFormat() != TPixelFormat::pf24bit) decoded.SetPixelFormat(TPixelFormat::pf24bit);
  Surface surface(
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, decoded.Width(), decoded.Height()));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
    throw ERefusal(cairo_status_to_string(cairo_surface_status(surface.get())));
  cairo_surface_flush(surface.get());
  unsigned char* pixels = cairo_image_surface_get_data(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  for (std::int32_t y = 0; y < decoded.Height(); ++y) {
    const std::uint8_t* from = decoded.ScanLine(y);  // blue, green, red
    auto* to = reinterpret_cast<std::uint32_t*>(pixels + static_cast<std::ptrdiff_t>(y) * stride);
    for (std::int32_t x = 0; x < decoded.Width(); ++x, from += 3)
      to[x] = std::uint32_t{from[2]} << 16 | std::uint32_t{from[1]} << 8 | from[0];
  }
  cairo_surface_mark_dirty(surface.get());
  void* data = std::malloc(bytes.Size);
  if (data == nullptr) throw ERefusal(std::strerror(ENOMEM));
  std::memcpy(data, bytes.Data.get(), bytes.Size);
  if (cairo_surface_set_mime_data(surface.get(), CAIRO_MIME_TYPE_JPEG,
                                  static_cast<const unsigned char*>(data), bytes.Size, FreeBytes,
                                  data) != CAIRO_STATUS_SUCCESS)
    std::free(data);
  return surface;
}

// The picture fitted into the square, its sides kept in proportion; a crossed box and a
// warning when there is none to draw.
void Picture(cairo_t* cr, Worksheet& sheet, const WorksheetQuestion& question, int number, double x,
             double y) {
  std::string reason;
  if (question.PicturePath.empty()) {
    reason = Tr("no picture file");
  } else {
    try {
      const Surface picture = PictureSurface(question.PicturePath);
      const double width = cairo_image_surface_get_width(picture.get());
      const double height = cairo_image_surface_get_height(picture.get());
      const double scale = kPictureSide / std::max(width, height);
      cairo_save(cr);
      cairo_translate(cr, x + (kPictureSide - width * scale) / 2,
                      y + (kPictureSide - height * scale) / 2);
      cairo_scale(cr, scale, scale);
      cairo_set_source_surface(cr, picture.get(), 0, 0);
      cairo_rectangle(cr, 0, 0, width, height);
      cairo_fill(cr);
      cairo_restore(cr);
      return;
    } catch (const std::exception& failure) {
      reason = failure.what();
    }
  }
  CrossedBox(cr, x, y, kPictureSide);
  // TRANSLATORS: %1$d is the question's number on the worksheet, %2$s its picture's name,
  // %3$s why it is not shown.
  sheet.Problems.Warning(question.PicturePath.empty() ? sheet.Title : question.PicturePath, 0,
                         Format(Tr("question %1$d: picture %2$s drawn as a crossed box: %3$s"),
                                {number, Quoted(question.PictureName), reason}));
}

std::vector<std::string> AnswerLetters() {
  // TRANSLATORS: the letters that mark the four answers on a worksheet, between blanks.
  const std::string letters = Tr("A B C D");
  std::vector<std::string> split;
  std::size_t start = 0;
  while (split.size() < kAnswerCount) {
    const std::size_t blank = letters.find(' ', start);
    split.push_back(letters.substr(start, blank - start));
    if (blank == std::string::npos) break;
    start = blank + 1;
  }
  while (split.size() < kAnswerCount) split.push_back(std::string(1, 'A' + split.size()));
  return split;
}

void PageNumber(cairo_t* cr, int page, int pages) {
  Font(cr, 9);
  // TRANSLATORS: the page's number and the number of pages of a worksheet.
  const std::string text = Format(Tr("page %1$d of %2$d"), {page, pages});
  Text(cr, kPageWidth - kMargin - TextWidth(cr, text), 62, text, 80, 9);
}

void Header(cairo_t* cr, const Worksheet& sheet, int page, int pages) {
  const double width = kPageWidth - 2 * kMargin;
  Text(cr, kMargin, 62, sheet.Title, width - 80, 20, true);
  PageNumber(cr, page, pages);
  // The pupil's lines: the name takes half the width, the class and the date a quarter each.
  const struct {
    const char* Label;
    double From;
    double To;
  } fields[] = {{Tr("Name:"), 0, 0.5}, {Tr("Class:"), 0.53, 0.72}, {Tr("Date:"), 0.75, 1}};
  for (const auto& field : fields) {
    const double x = kMargin + width * field.From;
    Font(cr, 11);
    const double label = TextWidth(cr, field.Label);
    Text(cr, x, 96, field.Label, label + 1, 11);
    Line(cr, x + label + 4, 98, kMargin + width * field.To, 98, 0.6);
  }
  Line(cr, kMargin, 110, kPageWidth - kMargin, 110, 1.2);
}

void QuestionCell(cairo_t* cr, Worksheet& sheet, int index, double x, double y, double width,
                  const std::vector<std::string>& letters) {
  const WorksheetQuestion& question = sheet.Questions[static_cast<std::size_t>(index)];
  Text(cr, x, y + 14, std::to_string(index + 1) + ".", 24, 13, true);
  const double left = x + 26;
  Picture(cr, sheet, question, index + 1, left, y);
  for (std::size_t k = 0; k < kAnswerCount; ++k) {
    const double line = y + kPictureSide + 20 + kAnswerLine * static_cast<double>(k);
    cairo_set_line_width(cr, 0.9);
    cairo_rectangle(cr, left, line - kBoxSide + 1, kBoxSide, kBoxSide);
    cairo_stroke(cr);
    Text(cr, left + kBoxSide + 6, line, letters[k], 14, 11, true);
    Text(cr, left + kBoxSide + 22, line, question.Answers[k], width - 26 - kBoxSide - 24, 11);
  }
}

// The answer key in two columns, and below it how many right answers give each grade.
void KeyPage(cairo_t* cr, const Worksheet& sheet, std::size_t first, std::size_t last, int page,
             int pages, const std::vector<std::string>& letters) {
  const double width = kPageWidth - 2 * kMargin;
  Text(cr, kMargin, 62, sheet.Title, width - 80, 20, true);
  PageNumber(cr, page, pages);
  Text(cr, kMargin, 96, Tr("Answer key"), width, 15, true);
  Line(cr, kMargin, 110, kPageWidth - kMargin, 110, 1.2);
  constexpr std::size_t kRows = 28;
  const double column = width / 2;
  for (std::size_t i = first; i < last; ++i) {
    const std::size_t at = i - first;
    const double x = kMargin + column * static_cast<double>(at / kRows);
    const double y = kGridTop + 10 + 16 * static_cast<double>(at % kRows);
    const WorksheetQuestion& question = sheet.Questions[i];
    Text(cr, x, y, std::to_string(i + 1) + ".", 28, 11, true);
    Text(cr, x + 30, y, letters[static_cast<std::size_t>(question.Right)], 16, 11, true);
    Text(cr, x + 48, y, question.Answers[static_cast<std::size_t>(question.Right)], column - 56,
         11);
  }
  if (page < pages || sheet.Grades.empty()) return;
  double y = kGridTop + 10 + 16 * kRows + 24;
  // TRANSLATORS: %d is the number of questions the grade is counted from.
  Text(cr, kMargin, y,
       Format(TrN("Grades for %d question", "Grades for %d questions",
                  static_cast<unsigned long>(sheet.Count)),
              {sheet.Count}),
       width, 13, true);
  y += 22;
  Text(cr, kMargin, y, Tr("Grade"), 80, 11, true);
  Text(cr, kMargin + 90, y, Tr("Right answers"), width - 90, 11, true);
  Line(cr, kMargin, y + 5, kMargin + 300, y + 5, 0.6);
  for (const GradeRange& range : sheet.Grades) {
    y += 17;
    Text(cr, kMargin, y, std::to_string(range.Grade), 80, 11);
    std::string rights;
    if (range.From > range.To)
      rights = "-";
    else if (range.From == range.To)
      rights = std::to_string(range.From);
    else
      rights = std::to_string(range.From) + "-" + std::to_string(range.To);
    Text(cr, kMargin + 90, y, rights, width - 90, 11);
  }
}

}  // namespace

bool WriteWorksheetPdf(Worksheet& sheet, std::FILE* file) {
  const Surface surface(
      cairo_pdf_surface_create_for_stream(WriteToFile, file, kPageWidth, kPageHeight));
  const Cairo cr(cairo_create(surface.get()));
  const std::vector<std::string> letters = AnswerLetters();
  const int count = static_cast<int>(sheet.Questions.size());
  constexpr int kKeyRows = 56;
  const int questionPages =
      std::max(1, (count + kWorksheetQuestionsPerPage - 1) / kWorksheetQuestionsPerPage);
  const int pages = questionPages + std::max(1, (count + kKeyRows - 1) / kKeyRows);
  const double cellWidth = (kPageWidth - 2 * kMargin) / 2;
  const double cellHeight = (kGridBottom - kGridTop) / 3;
  for (int page = 0; page < questionPages; ++page) {
    cairo_set_source_rgb(cr.get(), 0, 0, 0);
    Header(cr.get(), sheet, page + 1, pages);
    for (int slot = 0; slot < kWorksheetQuestionsPerPage; ++slot) {
      const int index = page * kWorksheetQuestionsPerPage + slot;
      if (index >= count) break;
      QuestionCell(cr.get(), sheet, index, kMargin + cellWidth * (slot % 2),
                   kGridTop + cellHeight * (slot / 2), cellWidth, letters);
    }
    cairo_show_page(cr.get());
    if (std::ferror(file)) return false;
  }
  const std::size_t questions = sheet.Questions.size();
  std::size_t first = 0;
  int page = questionPages;
  do {
    const std::size_t last = std::min(questions, first + std::size_t{kKeyRows});
    cairo_set_source_rgb(cr.get(), 0, 0, 0);
    KeyPage(cr.get(), sheet, first, last, ++page, pages, letters);
    cairo_show_page(cr.get());
    first = last;
  } while (first < questions);
  cairo_surface_finish(surface.get());
  return cairo_surface_status(surface.get()) == CAIRO_STATUS_SUCCESS && !std::ferror(file);
}

}  // namespace anthora
