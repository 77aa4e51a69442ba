// SPDX-License-Identifier: MIT
// The definition of MainWindow. Texts are code-page bytes (this file is
// compiled with GB18030 literals).
#include "ui/main/main_window.h"

#include <array>
#include <string_view>

namespace main_window {
namespace {

using toolkit::Border;
using toolkit::ControlDef;
using toolkit::ControlSettings;
using toolkit::Font;
using toolkit::PictureMode;
using toolkit::Rgb;
enum : bool { NoTab = false, Tab = true };
constexpr auto kEditBox = toolkit::ControlKind::EditBox;
constexpr auto kPicBox = toolkit::ControlKind::PicBox;
constexpr auto kGroupBox = toolkit::ControlKind::GroupBox;
constexpr auto kButton = toolkit::ControlKind::Button;
constexpr auto kComboBox = toolkit::ControlKind::ComboBox;
constexpr auto kTransLabel = toolkit::ControlKind::TransLabel;
constexpr auto kHtmlViewer = toolkit::ControlKind::HtmlViewer;

constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kButtonFace{240, 240, 240};

constexpr const char* kLevels[] = {"L(5%)", "M(15%)", "Q(25%)", "H(30%)"};

const ControlSettings kStrip{.background = kButtonFace};
const ControlSettings kBlueLabel{.textColour = kBlue};
const ControlSettings kSavedHint{.textColour = kRed, .font = Font{"", 16, 400}};
const ControlSettings kPromotion{.address = "http://www.chengqiong.example/admin/ad/erweima.htm",
                                 .zoomStep = 2};
const ControlSettings kGenerate{.clicked = onGenerate};
const ControlSettings kAbout{.clicked = onAboutClicked};
const ControlSettings kGroup{};
const ControlSettings kLevelList{.items = kLevels, .droppedHeight = 160};
const ControlSettings kVersionList{.droppedHeight = 160};
const ControlSettings kPicture{.background = kWhite,
                               .pictureMode = PictureMode::CentredShrunkToFit};
const ControlSettings kTextBox{.font = Font{"宋体", 20, 400},
                               .border = Border::Sunken,
                               .multiLine = true,
                               .maxBytes = 120,
                               .selection = toolkit::SelectionWhenUnfocused::Shown};

// clang-format off
const ControlDef kControls[] = {
//  name             kind         parent     left  top  width height tab    text                                                     settings
  {"图片框2",        kPicBox,     nullptr,    501, 430,  304,  16,  NoTab, nullptr,                                                  &kStrip},
  {"透明标签3",      kTransLabel, "图片框2",   12,  -3,  152,  18,  NoTab, "↓点击绿色文字支持我们↓",                                 &kBlueLabel},
  {"超文本浏览框1",  kHtmlViewer, nullptr,    512, 432,  320, 120,  Tab,   nullptr,                                                  &kPromotion},
  {"透明标签2",      kTransLabel, nullptr,    513,  -4,  100,  29,  NoTab, "在下面输入内容：",                                       &kBlueLabel},
  {"透明标签1",      kTransLabel, nullptr,      9, 492,  504,  32,  NoTab, "生成的二维码图片自动已保存到该文件夹下！你也可以截图保存！", &kSavedHint},
  {"按钮2",          kButton,     nullptr,    528, 229,   80,  40,  Tab,   "关于软件",                                               &kAbout},
  {"分组框2",        kGroupBox,   nullptr,    521, 356,  239,  65,  NoTab, "纠错级别",                                               &kGroup},
  {"组合框_纠错",    kComboBox,   "分组框2",   24,  23,  140,  20,  Tab,   "L(5%)",                                                  &kLevelList},
  {"分组框1",        kGroupBox,   nullptr,    523, 280,  237,  64,  NoTab, "版本选择",                                               &kGroup},
  {"组合框_版本",    kComboBox,   "分组框1",   24,  25,  140,  20,  Tab,   "自动",                                                   &kVersionList},
  {"图片框1",        kPicBox,     nullptr,      0,   0,  500, 496,  NoTab, nullptr,                                                  &kPicture},
  {"编辑框1",        kEditBox,    nullptr,    520,  25,  240, 192,  Tab,   nullptr,                                                  &kTextBox},
  {"按钮1",          kButton,     nullptr,    664, 229,   80,  40,  Tab,   "生成",                                                   &kGenerate},
};
// clang-format on

static_assert(std::size(kControls) == kControlCount, "the Control enum lists every row");

}  // namespace
}  // namespace main_window

const toolkit::WindowDef MainWindow{
    .name = "MainWindow",
    .title = "二维码生成器 v1.0",
    .width = 789,
    .height = 551,
    .storedLeft = 50,
    .storedTop = 50,
    .position = toolkit::Position::CentredOnScreen,
    .buttons = toolkit::TitleButtons::MinimizeAndClose,
    .showInTaskbar = true,
    .closeOnEsc = true,
    .controls = main_window::kControls,
    .created = main_window::onCreated,
};
