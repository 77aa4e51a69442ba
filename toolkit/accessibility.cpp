// SPDX-License-Identifier: MIT
#include "toolkit/accessibility.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QLineEdit>

#include "toolkit/controls.h"
#include "toolkit/qt_access.h"
#include "toolkit/toolkit.h"

namespace toolkit {
namespace {

// Qt's own combo box interface gives its text as the name on X11 and leaves
// the label to relations; the name here is the one the toolkit derived.
class DropDownAccessible : public QAccessibleWidget {
 public:
  explicit DropDownAccessible(DropDown* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Value) return box()->currentText();
    return QAccessibleWidget::text(kind);
  }

  // The dropped list first, then the edit field, as Qt's interface has them:
  // the list's own interface names the box as its parent.
  int childCount() const override { return 2; }
  QAccessibleInterface* child(int index) const override {
    if (index == 0) return QAccessible::queryAccessibleInterface(box()->view());
    if (index == 1) return QAccessible::queryAccessibleInterface(box()->lineEdit());
    return nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    if (!child) return -1;
    if (child->object() == box()->view()) return 0;
    if (child->object() == box()->lineEdit()) return 1;
    return -1;
  }

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.expandable = true;
    state.expanded = box()->view()->isVisible();
    state.editable = !box()->lineEdit()->isReadOnly();
    return state;
  }

  QStringList actionNames() const override {
    return QAccessibleWidget::actionNames() << showMenuAction();
  }
  void doAction(const QString& action) override {
    if (action != showMenuAction()) return QAccessibleWidget::doAction(action);
    if (box()->view()->isVisible()) {
      box()->hidePopup();
    } else {
      box()->showPopup();
    }
  }

 private:
  // Through the base: DropDown keeps the popup's override to itself.
  QComboBox* box() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* interfaceFor(const QString&, QObject* object) {
  auto* widget = qobject_cast<QWidget*>(object);
  if (!widget) return nullptr;
  if (auto* box = dynamic_cast<DropDown*>(widget)) return new DropDownAccessible(box);
  if (dynamic_cast<TextLabel*>(widget))
    return new QAccessibleWidget(widget, QAccessible::StaticText);
  if (dynamic_cast<PictureBox*>(widget)) return new QAccessibleWidget(widget, QAccessible::Graphic);
  if (dynamic_cast<HtmlFrame*>(widget)) return new QAccessibleWidget(widget, QAccessible::Pane);
  if (Window* window = windowOf(widget); window && widgetOf(window) == widget)
    return new QAccessibleWidget(widget,
                                 ownerOf(window) ? QAccessible::Dialog : QAccessible::Window);
  return nullptr;
}

}  // namespace

void installAccessibility() {
  // Qt tries the factory installed last first, so this one goes before Qt's.
  static bool installed = false;
  if (installed) return;
  installed = true;
  QAccessible::installFactory(interfaceFor);
}

}  // namespace toolkit
