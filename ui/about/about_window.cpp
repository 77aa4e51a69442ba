// SPDX-License-Identifier: MIT
// The definition of AboutWindow; it only displays, so it binds no handler.
// Texts are code-page bytes (compiled with GB18030 literals).
#include "ui/about/about_window.h"

#include <iterator>

namespace about_window {
namespace {

using toolkit::Border;
using toolkit::ControlDef;
using toolkit::ControlSettings;
using toolkit::Font;
using toolkit::Rgb;
enum : bool { NoTab = false, Tab = true };
constexpr auto kEditBox = toolkit::ControlKind::EditBox;
constexpr auto kLabel = toolkit::ControlKind::Label;
constexpr auto kTransLabel = toolkit::ControlKind::TransLabel;
constexpr auto kHtmlViewer = toolkit::ControlKind::HtmlViewer;

constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kButtonFace{240, 240, 240};

const ControlSettings kEmptyView{.zoomStep = 2};
const ControlSettings kAddress{.border = Border::Single};
const ControlSettings kCaption{.textColour = kBlack, .font = Font{"", 19, 700}};
const ControlSettings kWelcome{.textColour = kBlue, .font = Font{"", 16, 400}, .wrap = true};
const ControlSettings kExplanation{.textColour = kBlack, .background = kButtonFace, .wrap = true};

constexpr const char kExplanationText[] =
    "手机扫描二维码技术简单的说是通过手机拍照功能对二维码进行扫描，快速获取到二维条码中存储的信息，"
    "进行上网、发送短信、拨号、资料交换、自动文字输入等，手机二维码目前已经被各大手机厂商使用开发。"
    "\r\n\r\n"
    "手机二维码是二维码的一种，手机二维码不但可以印刷在报纸、杂志、广告、图书、包装以及个人名片上，"
    "用户还可以通过手机扫描二维码，或输入二维码下面的号码即可实现快速手机上网功能，"
    "并随时随地下载图文、了解企业产品信息等";

constexpr const char kWelcomeText[] =
    "欢迎使用“澄穹网络科技”开发的软件作品，希望我们的软件能给你带来便利，"
    "如果您对我们的软件有什么好的意见或者建议，欢迎通过下面的方式与我们取得联系，感谢您的支持！";

// clang-format off
const ControlDef kControls[] = {
//  name             kind         parent   left  top  width height tab    text                             settings
  {"超文本浏览框1",  kHtmlViewer, nullptr,    8, 200,  192,  85,  Tab,   nullptr,                          &kEmptyView},
  {"编辑框2",        kEditBox,    nullptr,  302, 262,  152,  26,  Tab,   " www.chengqiong.example",        &kAddress},
  {"透明标签3",      kTransLabel, nullptr,  208, 256,   92,  32,  NoTab, "网站地址：",                     &kCaption},
  {"编辑框1",        kEditBox,    nullptr,  302, 227,  152,  26,  Tab,   " service@chengqiong.example",    &kAddress},
  {"透明标签2",      kTransLabel, nullptr,  209, 224,   92,  32,  NoTab, "电子邮件：",                     &kCaption},
  {"透明标签1",      kTransLabel, nullptr,   16, 128,  432,  72,  NoTab, kWelcomeText,                     &kWelcome},
  {"标签1",          kLabel,      nullptr,   16,  16,  432, 104,  NoTab, kExplanationText,                 &kExplanation},
};
// clang-format on

static_assert(std::size(kControls) == kControlCount, "the Control enum lists every row");

}  // namespace
}  // namespace about_window

const toolkit::WindowDef AboutWindow{
    .name = "AboutWindow",
    .title = "关于软件和作者",
    .width = 467,
    .height = 320,
    .storedLeft = 50,
    .storedTop = 50,
    .position = toolkit::Position::CentredOnScreen,
    .buttons = toolkit::TitleButtons::CloseOnly,
    .showInTaskbar = true,
    .closeOnEsc = true,
    .controls = about_window::kControls,
};
