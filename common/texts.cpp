// SPDX-License-Identifier: MIT
// Compiled with GB18030 literals, as every text of the program.
#include "common/texts.h"

namespace qr::texts {

const char kWebViewName[] = "网页";
const char kSymbolPictureName[] = "二维码图片";
const char kSymbolPictureDescription[] = "显示按“生成”得到的二维码";

}  // namespace qr::texts
