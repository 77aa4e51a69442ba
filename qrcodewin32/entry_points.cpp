// SPDX-License-Identifier: MIT
// The seven exported functions over one process-wide state. Errors become errno values and a
// 0 result here and nowhere else.
#include "qrcodewin32/QRCodeWin32.h"

#include <cerrno>
#include <new>
#include <optional>

#include "qrcodewin32/bmp.h"
#include "qrcodewin32/file_replace.h"
#include "qrcodewin32/payload.h"
#include "qrcodewin32/raster.h"
#include "qrcodewin32/settings.h"
#include "qrcodewin32/symbol.h"

namespace {

using namespace qrcodewin32;

// A refusing setter leaves its reason here, and QRSaveAsBMP fails with it until the setting is
// given again: an older value is never used in its place.
struct State {
  Settings settings;
  Payload message;
  int messageError = 0;
  bool sizeValid = true;
};

State& state() {
  static State instance;
  return instance;
}

int fail(int error) {
  errno = error;
  return 0;
}

int saveAsBmp(const char* path) {
  const State& current = state();
  const Settings& settings = current.settings;
  if (path == nullptr || *path == '\0' || !current.sizeValid) return fail(EINVAL);
  if (current.messageError != 0) return fail(current.messageError);
  if (luminanceContrast(settings.background, settings.bar) + 1e-9 < settings.minimumContrast)
    return fail(EDOM);

  const std::optional<SymbolPlan> plan =
      planSymbol(current.message, settings.level, settings.minimumVersion);
  if (!plan) return fail(EMSGSIZE);
  const ModuleGrid grid = encodeSymbol(current.message, *plan, settings.level);
  const std::optional<Layout> layout = layoutSymbol(grid.size, settings.quietZone, settings.width,
                                                    settings.height, settings.moduleSize);
  if (!layout) return fail(ERANGE);

  // Index 0 fills the light modules and every margin, index 1 the dark modules.
  const bool inverted = settings.colours == Colours::Inverted;
  OneBitBmp picture(settings.width, settings.height, inverted ? settings.bar : settings.background,
                    inverted ? settings.background : settings.bar);
  drawSymbol(grid, *layout, picture);
  if (const int error = replaceFile(path, picture.bytes()); error != 0) return fail(error);
  return 1;
}

}  // namespace

extern "C" {

int QRSetMessage(const char* message) {
  State& current = state();
  current.message = {};
  current.messageError = 0;
  try {
    std::optional<Payload> payload = payloadFromCodePage(message ? message : "");
    if (!payload) {
      current.messageError = EMSGSIZE;
      return fail(EMSGSIZE);
    }
    current.message = std::move(*payload);
    return 1;
  } catch (const std::bad_alloc&) {
    current.messageError = ENOMEM;
    return fail(ENOMEM);
  }
}

int QRSetBackColor(int red, int green, int blue) {
  state().settings.background = colourFromChannels(red, green, blue);
  return 1;
}

int QRSetBarColor(int red, int green, int blue) {
  state().settings.bar = colourFromChannels(red, green, blue);
  return 1;
}

int QRConfigure(int version, int errorCorrection, int quietZone) {
  Settings& settings = state().settings;
  settings.minimumVersion = minimumVersionFromPosition(version);
  settings.level = levelFromPosition(errorCorrection);
  settings.quietZone = quietZoneFromValue(quietZone);
  return 1;
}

int QRAppearance(double minimumContrast, int wholePixelModules, int invertedColours) {
  Settings& settings = state().settings;
  settings.minimumContrast = minimumContrastFromValue(minimumContrast);
  settings.moduleSize = wholePixelModules != 0 ? ModuleSize::WholePixels : ModuleSize::Fractional;
  settings.colours = invertedColours != 0 ? Colours::Inverted : Colours::Normal;
  return 1;
}

int QRSetSize(int width, int height) {
  State& current = state();
  current.sizeValid = isValidPictureSize(width, height);
  if (!current.sizeValid) return fail(EINVAL);
  current.settings.width = width;
  current.settings.height = height;
  return 1;
}

int QRSaveAsBMP(const char* path) {
  try {
    return saveAsBmp(path);
  } catch (const std::bad_alloc&) {
    return fail(ENOMEM);
  }
}

}  // extern "C"
