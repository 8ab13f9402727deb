#include "picture/JpegProgress.h"

#include "picture/Jpeg.h"
#include "picture/JpegLib.h"
#include "platform/Clock.h"
#include "runtime/base/Format.h"
#include "runtime/base/System.h"

namespace anthora {

namespace {

constexpr std::uint32_t kReportInterval = 500;

// A multi-scan stream costs a pass over the whole image per scan; a stream made of
// thousands of tiny scans would decode for hours.
void CheckScanCount(j_common_ptr info) {
  if (!info->is_decompressor) return;
  const auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
  if (decompress->input_scan_number <= TJPEGImage::kMaxScans) return;
  jpeg::RunHook(jpeg::ErrorStateOf(info), [] {
    throw EJPEG(Format("JPEG image has more than %d scans", {TJPEGImage::kMaxScans}));
  });
}

}  // namespace

void JpegProgress::Install(ProgressState& state, TJPEGImage* owner, j_common_ptr info) {
  state.Manager.progress_monitor = Hook;
  state.Owner = owner;
  info->progress = &state.Manager;
}

void JpegProgress::Hook(j_common_ptr info) {
  CheckScanCount(info);
  auto& state = *reinterpret_cast<ProgressState*>(info->progress);
  if (!state.Owner) return;

  const std::uint32_t now = SystemClock().MillisecondsSinceStart();
  if (now - state.LastTime < kReportInterval) return;
  const std::uint32_t previous = state.LastTime;
  state.LastTime = now;
  if (previous == 0) return;

  TRect rect;
  const auto* decompress =
      info->is_decompressor ? reinterpret_cast<j_decompress_ptr>(info) : nullptr;
  if (decompress) {
    rect = Rect(0, static_cast<std::int32_t>(state.LastRow),
                static_cast<std::int32_t>(decompress->output_width),
                static_cast<std::int32_t>(decompress->output_scanline));
    if (rect.Bottom < rect.Top) rect.Bottom = static_cast<std::int32_t>(decompress->output_height);
  }
  const jpeg_progress_mgr& progress = state.Manager;
  if (progress.pass_limit <= 0 || progress.total_passes <= 0) return;
  const double done =
      (static_cast<double>(progress.pass_counter) / static_cast<double>(progress.pass_limit) +
       progress.completed_passes) *
      100.0 / progress.total_passes;
  const int percent = done < 0 ? 0 : done > 100 ? 100 : static_cast<int>(done);
  if (percent == state.LastPercent) return;
  state.LastPercent = percent;
  if (decompress) state.LastRow = decompress->output_scanline;

  TJPEGImage& owner = *state.Owner;
  jpeg::RunHook(jpeg::ErrorStateOf(info), [&] {
    owner.ReportProgress(TProgressStage::psRunning, static_cast<std::uint8_t>(percent),
                         rect.Bottom - rect.Top >= 4, rect);
  });
}

}  // namespace anthora
