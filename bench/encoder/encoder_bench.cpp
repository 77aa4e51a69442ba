// SPDX-License-Identifier: MIT
// A 120-byte Chinese message (60 characters of the code page) into a 500 x 500 BMP, through
// the library's seven functions and through libzint, in one run.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "common/codepage.h"
#include "qrcodewin32/QRCodeWin32.h"
#include "qrcodewin32/bmp.h"
#include "qrcodewin32/file_replace.h"

#ifdef QRGEN_HAVE_ZINT
#include <zint.h>
#endif

namespace {

// 60 characters, 120 bytes in the code page, 180 in UTF-8.
const std::string kUtf8Message =
    "二维码生成器把文字变成图片保存到程序所在的文件夹里面你也可以截图保存扫一扫手机就能读出这段"
    "中文内容测试速度与大小是否合适";

class ScratchDirectory {
 public:
  ScratchDirectory() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "qrcodewin32-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
  }
  ~ScratchDirectory() { std::filesystem::remove_all(path_); }
  std::string file(const char* name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

ScratchDirectory& scratch() {
  static ScratchDirectory directory;
  return directory;
}

void sevenCalls(benchmark::State& state) {
  const qr::Text message = qr::codepage::fromUtf8(kUtf8Message);
  if (message.size() != 120) {
    state.SkipWithError("the message is not 120 bytes");
    return;
  }
  const std::string path = scratch().file("a.bmp");
  for (auto _ : state) {
    QRSetMessage(message.get());
    QRSetBackColor(255, 255, 255);
    QRSetBarColor(0, 0, 0);
    QRConfigure(-1, -1, 5);
    QRAppearance(0.2, 1, 0);
    QRSetSize(500, 500);
    if (QRSaveAsBMP(path.c_str()) == 0) {
      state.SkipWithError("QRSaveAsBMP failed");
      return;
    }
  }
  state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(path));
}
BENCHMARK(sevenCalls)->Unit(benchmark::kMicrosecond);

// The temporary file, its permissions and the rename, for a picture already drawn.
void bmpWriteAlone(benchmark::State& state) {
  const qrcodewin32::OneBitBmp picture(500, 500, {255, 255, 255}, {0, 0, 0});
  const std::string path = scratch().file("write.bmp");
  for (auto _ : state) {
    if (qrcodewin32::replaceFile(path.c_str(), picture.bytes()) != 0) {
      state.SkipWithError("replaceFile failed");
      return;
    }
  }
}
BENCHMARK(bmpWriteAlone)->Unit(benchmark::kMicrosecond);

#ifdef QRGEN_HAVE_ZINT
zint_symbol* newZintSymbol(float scale, const std::string& path) {
  zint_symbol* symbol = ZBarcode_Create();
  symbol->symbology = BARCODE_QRCODE;
  symbol->input_mode = UNICODE_MODE;
  symbol->eci = 26;
  symbol->option_1 = 1;  // level L, as the program's "nothing picked"
  symbol->output_options = BARCODE_QUIET_ZONES;
  symbol->scale = scale;
  std::snprintf(symbol->outfile, sizeof symbol->outfile, "%s", path.c_str());
  return symbol;
}

// The scale that brings zint's picture closest to 500 pixels, and the width it gives.
std::pair<float, int> zintScaleFor500() {
  const std::string path = scratch().file("zint.bmp");
  float best = 1;
  int bestWidth = 0;
  for (float scale = 0.5f; scale <= 10; scale += 0.5f) {
    zint_symbol* symbol = newZintSymbol(scale, path);
    const auto* data = reinterpret_cast<const unsigned char*>(kUtf8Message.data());
    if (ZBarcode_Encode_and_Buffer(symbol, data, static_cast<int>(kUtf8Message.size()), 0) < 5 &&
        std::abs(symbol->bitmap_width - 500) < std::abs(bestWidth - 500)) {
      best = scale;
      bestWidth = symbol->bitmap_width;
    }
    ZBarcode_Delete(symbol);
  }
  return {best, bestWidth};
}

void zintEncodeAndPrint(benchmark::State& state) {
  const auto [scale, width] = zintScaleFor500();
  const std::string path = scratch().file("zint.bmp");
  const auto* data = reinterpret_cast<const unsigned char*>(kUtf8Message.data());
  for (auto _ : state) {
    zint_symbol* symbol = newZintSymbol(scale, path);
    const int result =
        ZBarcode_Encode_and_Print(symbol, data, static_cast<int>(kUtf8Message.size()), 0);
    ZBarcode_Delete(symbol);
    if (result >= 5) {  // warnings are below 5
      state.SkipWithError("zint failed");
      return;
    }
  }
  state.counters["width_px"] = width;
  state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(path));
}
BENCHMARK(zintEncodeAndPrint)->Unit(benchmark::kMicrosecond);
#endif

// Keeps each benchmark's real time per iteration for the closing ratio: the mean of the
// repetitions when there are several.
class RecordingReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
      const bool mean = run.run_type == Run::RT_Aggregate && run.aggregate_name == "mean";
      if ((single || mean) && !run.error_occurred)
        seconds[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> seconds;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto ours = reporter.seconds.find("sevenCalls");
  const auto zint = reporter.seconds.find("zintEncodeAndPrint");
  if (ours != reporter.seconds.end() && zint != reporter.seconds.end() && ours->second > 0)
    std::printf("zint / seven calls: %.2f (above 1: the seven calls are faster)\n",
                zint->second / ours->second);
  benchmark::Shutdown();
  return 0;
}
