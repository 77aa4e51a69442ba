// SPDX-License-Identifier: MIT
// What a screen reader learns of the windows: each control's role and name
// through Qt's accessibility interfaces, reached from the window down.
#include <gtest/gtest.h>

#include <QAccessible>
#include <map>

#include "toolkit/controls.h"
#include "ui/about/about_window.h"
#include "ui_test_support.h"

namespace {

using namespace ui_test;

struct Expected {
  int control;
  QAccessible::Role role;
  const char* name;  // UTF-8; null: the control's own text in its definition
};

// Every control's interface, found by walking the children from the window's.
std::map<QObject*, QAccessibleInterface*> controlInterfaces(toolkit::Window* window) {
  std::map<QObject*, QAccessibleInterface*> found;
  std::vector<QAccessibleInterface*> pending{
      QAccessible::queryAccessibleInterface(toolkit::widgetOf(window))};
  const std::size_t count = toolkit::definitionOf(window).controls.size();
  while (!pending.empty()) {
    QAccessibleInterface* next = pending.back();
    pending.pop_back();
    for (int i = 0; i < next->childCount(); ++i) {
      QAccessibleInterface* child = next->child(i);
      // Only controls hold controls; the insides of Qt's widgets are Qt's.
      for (std::size_t c = 0; child && c < count; ++c) {
        if (child->object() != control(window, static_cast<int>(c))) continue;
        found[child->object()] = child;
        pending.push_back(child);
      }
    }
  }
  return found;
}

void expectAnnounced(toolkit::Window* window, std::span<const Expected> rows) {
  const auto interfaces = controlInterfaces(window);
  for (const Expected& row : rows) {
    const toolkit::ControlDef& def = toolkit::definitionOf(window).controls[row.control];
    SCOPED_TRACE(qr::codepage::toUtf8(def.name));
    QObject* widget = control(window, row.control);
    const auto found = interfaces.find(widget);
    ASSERT_NE(found, interfaces.end()) << "not reached from the window";
    QAccessibleInterface* accessible = found->second;
    EXPECT_EQ(accessible, QAccessible::queryAccessibleInterface(widget));
    EXPECT_EQ(accessible->role(), row.role);
    const QString name = row.name ? QString::fromUtf8(row.name) : toolkit::fromCodepage(def.text);
    EXPECT_EQ(accessible->text(QAccessible::Name), name);
    // And back up: the path a screen reader takes from a focused control.
    QAccessibleInterface* up = accessible;
    while (up && up->object() != toolkit::widgetOf(window)) up = up->parent();
    EXPECT_NE(up, nullptr) << "the window is not among its ancestors";
  }
}

TEST(Accessibility, MainWindowAnnouncesEveryControlByRoleAndName) {
  using namespace main_window;
  ensureMainWindow();
  toolkit::Window* self = mainWindow();
  QAccessibleInterface* window = QAccessible::queryAccessibleInterface(toolkit::widgetOf(self));
  EXPECT_EQ(window->role(), QAccessible::Window);
  EXPECT_EQ(window->text(QAccessible::Name), QStringLiteral("二维码生成器 v1.0"));

  const Expected rows[] = {
      {图片框2, QAccessible::Graphic, ""},  // only the strip behind a caption
      {透明标签3, QAccessible::StaticText, nullptr},
      {超文本浏览框1, QAccessible::Pane, "网页"},
      {透明标签2, QAccessible::StaticText, nullptr},
      {透明标签1, QAccessible::StaticText, nullptr},
      {按钮2, QAccessible::Button, "关于软件"},
      {分组框2, QAccessible::Grouping, "纠错级别"},
      {组合框_纠错, QAccessible::ComboBox, "纠错级别"},
      {分组框1, QAccessible::Grouping, "版本选择"},
      {组合框_版本, QAccessible::ComboBox, "版本选择"},
      {图片框1, QAccessible::Graphic, "二维码图片"},
      {编辑框1, QAccessible::EditableText, "在下面输入内容"},
      {按钮1, QAccessible::Button, "生成"},
  };
  expectAnnounced(self, rows);

  auto describe = [self](int index) {
    return QAccessible::queryAccessibleInterface(control(self, index));
  };
  EXPECT_EQ(describe(图片框1)->text(QAccessible::Description),
            QStringLiteral("显示按“生成”得到的二维码"));
  // A combo box's text is its value, not its name.
  EXPECT_EQ(describe(组合框_版本)->text(QAccessible::Value), QStringLiteral("自动"));
  EXPECT_EQ(describe(组合框_纠错)->text(QAccessible::Value), QStringLiteral("L(5%)"));
  EXPECT_TRUE(describe(组合框_版本)->state().editable);
  EXPECT_TRUE(describe(组合框_版本)->state().expandable);
  const QAccessible::State text = describe(编辑框1)->state();
  EXPECT_TRUE(text.editable && text.multiLine && !text.readOnly);
  EXPECT_TRUE(describe(按钮1)->state().focusable);
}

TEST(Accessibility, ComboBoxListOpensThroughItsActionAndNamesTheBoxAsParent) {
  using namespace main_window;
  ensureMainWindow();
  QWidget* box = control(mainWindow(), 组合框_纠错);
  QAccessibleInterface* combo = QAccessible::queryAccessibleInterface(box);
  QAccessibleActionInterface* actions = combo->actionInterface();
  ASSERT_NE(actions, nullptr);
  ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::showMenuAction()));
  actions->doAction(QAccessibleActionInterface::showMenuAction());
  EXPECT_TRUE(combo->state().expanded);
  QAccessibleInterface* list = combo->child(0);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->childCount() > 0, true) << "the four levels";
  EXPECT_EQ(combo->indexOfChild(list), 0);
  EXPECT_EQ(list->parent(), combo);
  actions->doAction(QAccessibleActionInterface::showMenuAction());
  EXPECT_FALSE(combo->state().expanded);
}

TEST(Accessibility, AboutWindowAnnouncesEveryControlByRoleAndName) {
  using namespace about_window;
  QAccessible::Role role{};
  QString title;
  QAccessible::State address{};
  ASSERT_TRUE(whileAboutIsOpen([&](toolkit::Window* about) {
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(toolkit::widgetOf(about));
    role = window->role();
    title = window->text(QAccessible::Name);
    const Expected rows[] = {
        {超文本浏览框1, QAccessible::Pane, "网页"},
        {编辑框2, QAccessible::EditableText, "网站地址"},
        {透明标签3, QAccessible::StaticText, nullptr},
        {编辑框1, QAccessible::EditableText, "电子邮件"},
        {透明标签2, QAccessible::StaticText, nullptr},
        {透明标签1, QAccessible::StaticText, nullptr},
        {标签1, QAccessible::StaticText, nullptr},
    };
    expectAnnounced(about, rows);
    address = QAccessible::queryAccessibleInterface(control(about, 编辑框1))->state();
    pressEsc(about);
  }));
  EXPECT_EQ(role, QAccessible::Dialog) << "owned and modal";
  EXPECT_EQ(title, QStringLiteral("关于软件和作者"));
  // The addresses may be changed (nothing keeps the change), so they are not read-only.
  EXPECT_TRUE(address.editable);
  EXPECT_FALSE(address.readOnly);
}

// A window made to show the naming rule: each edit or combo box is named for
// what a reader of the layout would take as its label.
TEST(Accessibility, BoxesTakeTheNearestLabelBesideOrAboveThemOrTheirGroupTitle) {
  using toolkit::ControlKind;
  const toolkit::ControlSettings plain{};
  constexpr auto kLabel = ControlKind::Label, kEdit = ControlKind::EditBox,
                 kCombo = ControlKind::ComboBox, kGroup = ControlKind::GroupBox,
                 kTrans = ControlKind::TransLabel;
  // The texts are code-page bytes, as in every definition.
  const std::string texts[] = {cp("姓名："), cp("地址"), cp("远处"), cp("右边"), cp("分组标题"),
                               cp("旁边"),   cp("内："), cp("近的"), cp("远的")};
  // clang-format off
  const toolkit::ControlDef controls[] = {
  // name         kind    parent   left top  width height tab    text               settings
    {"name-label", kLabel, nullptr,  10,  10,  60, 20, false, texts[0].c_str(), &plain},
    {"name",       kEdit,  nullptr,  72,  10, 100, 20, true,  nullptr,          &plain},
    {"addr-label", kTrans, nullptr,  10,  40, 160, 16, false, texts[1].c_str(), &plain},
    {"addr",       kEdit,  nullptr,  10,  58, 160, 20, true,  nullptr,          &plain},
    {"far-label",  kLabel, nullptr,  10,  90,  40, 20, false, texts[2].c_str(), &plain},
    {"far",        kEdit,  nullptr, 100,  90, 100, 20, true,  nullptr,          &plain},
    {"right",      kEdit,  nullptr,  10, 130, 100, 20, true,  nullptr,          &plain},
    {"right-label",kLabel, nullptr, 112, 130,  60, 20, false, texts[3].c_str(), &plain},
    {"group",      kGroup, nullptr, 220, 170, 150, 90, false, texts[4].c_str(), &plain},
    {"outside",    kLabel, nullptr, 170, 190,  48, 20, false, texts[5].c_str(), &plain},
    {"in-group",   kCombo, "group",  10,  20, 100, 20, true,  nullptr,          &plain},
    {"in-label",   kLabel, "group",  10,  50,  40, 20, false, texts[6].c_str(), &plain},
    {"in-labelled",kEdit,  "group",  52,  50,  80, 20, true,  nullptr,          &plain},
    {"near-above", kLabel, nullptr, 400,  10, 100, 16, false, texts[7].c_str(), &plain},
    {"far-left",   kLabel, nullptr, 330,  30,  60, 20, false, texts[8].c_str(), &plain},
    {"both",       kEdit,  nullptr, 398,  29, 100, 20, true,  nullptr,          &plain},
  };
  // clang-format on
  const toolkit::WindowDef fixture{.name = "fixture",
                                   .title = "fixture",
                                   .width = 520,
                                   .height = 280,
                                   .storedLeft = 0,
                                   .storedTop = 0,
                                   .position = toolkit::Position::AsStored,
                                   .buttons = toolkit::TitleButtons::CloseOnly,
                                   .showInTaskbar = true,
                                   .closeOnEsc = true,
                                   .controls = controls};
  ASSERT_FALSE(toolkit::checkDefinition(fixture).has_value());
  struct Case {
    const char* box;
    const char* name;
  };
  const Case cases[] = {
      {"name", "姓名"},          // label on its left; the prompt's colon goes
      {"addr", "地址"},          // label above it
      {"far", ""},               // the only label is too far to the left
      {"right", ""},             // a label on the right names nothing
      {"in-group", "分组标题"},  // no label of its own: the group's title
      {"in-labelled", "内"},     // a label in the group beats the group's title
      {"both", "近的"},          // the nearer of two labels
  };
  toolkit::Window* window = toolkit::createWindow(fixture, nullptr);
  ASSERT_NE(window, nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.box);
    QWidget* box = control(window, toolkit::controlIndex(fixture, c.box));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(box)->text(QAccessible::Name),
              QString::fromUtf8(c.name));
  }
  toolkit::destroyWindow(window);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
