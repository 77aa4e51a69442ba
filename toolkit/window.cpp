// SPDX-License-Identifier: MIT
// Windows built from definitions, their controls, and the rules for keys,
// focus and disabled windows.
#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <vector>

#include "common/codepage.h"
#include "common/texts.h"
#include "toolkit/accessibility.h"
#include "toolkit/controls.h"
#include "toolkit/fonts.h"
#include "toolkit/picture.h"
#include "toolkit/qt_access.h"
#include "toolkit/toolkit.h"
#include "toolkit/x11.h"

namespace toolkit {

QString fromCodepage(const char* text) {
  QString result = QString::fromStdString(qr::codepage::toUtf8(text ? text : ""));
  result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return result;
}

qr::Text toCodepage(const QString& text) {
  return qr::codepage::fromUtf8(text.toStdString());
}

namespace {

QColor colourOf(Rgb rgb) {
  return QColor(rgb.red, rgb.green, rgb.blue);
}

CloseRequestHandler closeRequestHandler = nullptr;

// The logical client size that gives the logical outer size `outer` around a
// frame of `frame` device pixels, at `ratio` device pixels a logical one. Qt
// puts logical sizes on the screen rounded to device pixels.
QSize clientSizeFor(QSize outer, QSize frame, qreal ratio) {
  return (outer * ratio - frame) / ratio;
}

}  // namespace

// The Qt widget of a live window. Owned by the toolkit: destroyWindow() ends it.
class Window : public QWidget {
 public:
  Window(const WindowDef* definition, Window* owner, Qt::WindowFlags flags)
      : QWidget(owner, flags), definition_(definition), owner_(owner) {}

  const WindowDef* definition_;
  Window* owner_;
  std::vector<QWidget*> controls_;
  std::vector<QWidget*> focusCycle_;
  bool inputEnabled_ = true;
  bool shownOnce_ = false;
  bool engineScheduled_ = false;

 protected:
  void closeEvent(QCloseEvent* event) override {
    // The shell decides: it restores disabled windows first, then destroys.
    event->ignore();
    if (closeRequestHandler) {
      closeRequestHandler(this);
    } else {
      destroyWindow(this);
    }
  }

  void keyPressEvent(QKeyEvent* event) override {
    const bool escape = event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier;
    const bool altF4 = event->key() == Qt::Key_F4 && event->modifiers() == Qt::AltModifier;
    if ((escape && definition_->closeOnEsc) || altF4) {
      close();
      return;
    }
    // Enter and everything else reaching the window does nothing.
    event->accept();
  }

  void showEvent(QShowEvent* event) override {
    QWidget::showEvent(event);
    shownOnce_ = true;
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    // The web engine starts once the window is on screen and drawn: loading
    // it takes longer than everything before. Qt draws an exposed window while
    // handling the expose event, so a timer set now fires after the drawing.
    if (event->type() == QEvent::Expose && !engineScheduled_ && windowHandle() == watched &&
        windowHandle()->isExposed()) {
      engineScheduled_ = true;
      QTimer::singleShot(0, this, [this] {
        for (QWidget* control : controls_)
          if (auto* frame = dynamic_cast<HtmlFrame*>(control)) frame->startEngine();
      });
    }
    return QWidget::eventFilter(watched, event);
  }

  bool event(QEvent* event) override {
    // A window manager's frame is known only after mapping: keep the outer
    // size as defined by taking the frame off the client area.
    if (event->type() == QEvent::Move || event->type() == QEvent::Resize) fitOuterSize();
    // The engine view makes Qt recreate the native window for GPU
    // composition; the new one needs the hints again.
    if (event->type() == QEvent::WinIdChange && shownOnce_) applyHints();
    return QWidget::event(event);
  }

 public:
  void applyHints() {
    // Owned windows keep out of the taskbar, as a Windows owned window has no
    // taskbar button.
    applyFixedFrameHints(this, definition_->buttons == TitleButtons::MinimizeAndClose,
                         owner_ ? Taskbar::NoEntry : Taskbar::Entry);
  }

  void fitOuterSize() {
    if (!isVisible()) return;
    // The frame is the window manager's, in device pixels; taken through
    // logical pixels it would be rounded at fractional scales.
    const qreal ratio = devicePixelRatio();
    const QSize logicalFrame = frameGeometry().size() - geometry().size();
    const QSize frame = nativeFrameSize(this).value_or(logicalFrame * ratio);
    const QSize client =
        clientSizeFor(QSize(definition_->width, definition_->height), frame, ratio);
    if (client != size() && client.isValid()) {
      setFixedSize(client);
      dropResizeIncrements(this);
    }
  }
};

QWidget* widgetOf(const Window* window) {
  return const_cast<Window*>(window);
}

QWidget* widgetOf(const Window* window, int control) {
  return window->controls_.at(static_cast<std::size_t>(control));
}

Window* windowOf(const QWidget* widget) {
  return widget ? dynamic_cast<Window*>(widget->window()) : nullptr;
}

void setCloseRequestHandler(CloseRequestHandler handler) {
  closeRequestHandler = handler;
}

namespace {

// Swallows input to disabled windows, as Windows does for a disabled window,
// without greying their controls; the user is sent to the window that blocks.
class InputGate : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!watched->isWidgetType()) return false;
    Window* window = windowOf(static_cast<QWidget*>(watched));
    if (!window || window->inputEnabled_) return false;
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
        bringBlockerForward();
        return true;
      case QEvent::WindowActivate:
        if (watched == window) bringBlockerForward();
        return false;
      case QEvent::MouseButtonRelease:
      case QEvent::MouseMove:
      case QEvent::Wheel:
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::ShortcutOverride:
      case QEvent::Shortcut:
      case QEvent::ContextMenu:
      case QEvent::TouchBegin:
      case QEvent::TouchUpdate:
      case QEvent::TouchEnd:
      case QEvent::InputMethod:
      case QEvent::Close:
        return true;
      default:
        return false;
    }
  }

 private:
  static void bringBlockerForward() {
    // The newest visible window that takes input is the one in the way.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
      auto* candidate = dynamic_cast<Window*>(*it);
      if (candidate && candidate->isVisible() && candidate->inputEnabled_) {
        QTimer::singleShot(0, candidate, [candidate] {
          candidate->raise();
          candidate->activateWindow();
        });
        return;
      }
    }
  }
};

void installInputGate() {
  static InputGate* gate = nullptr;
  if (gate) return;
  gate = new InputGate;
  qApp->installEventFilter(gate);
}

// A label's text as a name: one line, without the colon that ends a prompt.
QString nameFromText(const char* text) {
  QString name = fromCodepage(text).simplified();
  while (name.endsWith(QChar(0xFF1A)) || name.endsWith(QLatin1Char(':')))
    name = name.chopped(1).trimmed();
  return name;
}

// What a screen reader announces for controls that have no text of their own
// to be named by; the others (buttons, group boxes, labels) name themselves.
void nameControls(const WindowDef& definition, const std::vector<QWidget*>& controls) {
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const int label = labelOf(definition, static_cast<int>(i));
    if (label >= 0) {
      controls[i]->setAccessibleName(
          nameFromText(definition.controls[static_cast<std::size_t>(label)].text));
    } else if (definition.controls[i].kind == ControlKind::HtmlViewer) {
      controls[i]->setAccessibleName(fromCodepage(qr::texts::kWebViewName));
    }
  }
}

QWidget* buildControl(const ControlDef& def, QWidget* parent) {
  const ControlSettings& s = *def.settings;
  const QString text = fromCodepage(def.text);
  const QColor textColour = colourOf(s.textColour.value_or(Rgb{}));
  QWidget* widget = nullptr;
  switch (def.kind) {
    case ControlKind::EditBox: {
      if (s.multiLine) {
        auto* edit = new MultiLineEdit(parent, s.maxBytes, s.selection);
        edit->setPlainText(text);
        edit->setFrameShape(s.border == Border::None ? QFrame::NoFrame : QFrame::StyledPanel);
        edit->setFrameShadow(s.border == Border::Sunken ? QFrame::Sunken : QFrame::Plain);
        widget = edit;
      } else {
        auto* edit = new QLineEdit(text, parent);
        edit->setFrame(s.border != Border::None);
        edit->setCursorPosition(0);
        widget = edit;
      }
      break;
    }
    case ControlKind::PicBox:
      widget = new PictureBox(parent, colourOf(s.background.value_or(Rgb{255, 255, 255})),
                              s.pictureMode);
      break;
    case ControlKind::GroupBox:
      widget = new QGroupBox(text, parent);
      break;
    case ControlKind::Label:
      widget = new TextLabel(parent, text, textColour,
                             s.background ? std::optional(colourOf(*s.background)) : std::nullopt,
                             s.wrap);
      break;
    case ControlKind::TransLabel:
      widget = new TextLabel(parent, text, textColour, std::nullopt, s.wrap);
      break;
    case ControlKind::Button: {
      auto* button = new QPushButton(text, parent);
      button->setAutoDefault(false);  // no default button: Enter clicks nothing
      if (Handler clicked = s.clicked)
        QObject::connect(button, &QPushButton::clicked, [clicked] { clicked(); });
      widget = button;
      break;
    }
    case ControlKind::ComboBox: {
      auto* combo = new DropDown(parent, s.droppedHeight);
      for (const char* item : s.items) combo->append(fromCodepage(item));
      combo->setCurrentIndex(-1);
      combo->setEditText(text);
      widget = combo;
      break;
    }
    case ControlKind::HtmlViewer:
      widget = new HtmlFrame(parent, s.address, s.zoomStep);
      break;
  }
  widget->setObjectName(fromCodepage(def.name));
  widget->setGeometry(def.left, def.top, def.width, def.height);
  widget->setFont(fontFor(s.font));
  if (s.textColour && def.kind != ControlKind::Label && def.kind != ControlKind::TransLabel) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, textColour);
    palette.setColor(QPalette::Text, textColour);
    widget->setPalette(palette);
  }
  widget->setFocusPolicy(def.tabStop ? Qt::StrongFocus : Qt::NoFocus);
  return widget;
}

}  // namespace

Window* createHiddenOwner() {
  static const WindowDef kOwner{
      "owner", "",    1,  1,      0, 0, Position::AsStored, TitleButtons::CloseOnly,
      false,   false, {}, nullptr};
  auto* owner = new Window(&kOwner, nullptr, Qt::Window | Qt::Tool);
  owner->setAttribute(Qt::WA_DontShowOnScreen);
  owner->winId();  // a native window that owned windows can name as transient-for
  return owner;
}

Window* createWindow(const WindowDef& definition, Window* owner) {
  installInputGate();
  installAccessibility();
  Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (definition.buttons == TitleButtons::MinimizeAndClose) flags |= Qt::WindowMinimizeButtonHint;
  // An owned window is a dialog of its owner: transient-for, no taskbar entry.
  if (owner) flags = (flags & ~Qt::Window) | Qt::Dialog;
  auto* window = new Window(&definition, owner, flags);
  window->setWindowTitle(fromCodepage(definition.title));
  window->setFixedSize(definition.width, definition.height);
  window->setAutoFillBackground(true);
  window->setPalette(QApplication::palette());

  // Definition order is top to bottom; Qt stacks later siblings above, so
  // each new control goes beneath the ones before it.
  for (const ControlDef& def : definition.controls) {
    QWidget* parent = window;
    if (def.parent)
      parent = window->controls_.at(static_cast<std::size_t>(controlIndex(definition, def.parent)));
    QWidget* control = buildControl(def, parent);
    control->lower();
    window->controls_.push_back(control);
  }
  nameControls(definition, window->controls_);
  // The focus cycle runs in reverse definition order.
  for (std::size_t i = definition.controls.size(); i-- > 0;)
    if (definition.controls[i].tabStop) window->focusCycle_.push_back(window->controls_[i]);
  for (std::size_t i = 1; i < window->focusCycle_.size(); ++i)
    QWidget::setTabOrder(window->focusCycle_[i - 1], window->focusCycle_[i]);
  if (!window->focusCycle_.empty()) window->focusCycle_.front()->setFocus();

  if (definition.position == Position::CentredOnScreen) {
    // Logical pixels, as the window's size. A window larger than the screen
    // (a small screen scaled up) keeps its title bar on it, where it can be
    // grabbed, instead of centring it off the top.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    window->move(screen.x() + std::max(0, (screen.width() - definition.width) / 2),
                 screen.y() + std::max(0, (screen.height() - definition.height) / 2));
  } else {
    window->move(definition.storedLeft, definition.storedTop);
  }
  return window;
}

void showWindow(Window* window) {
  window->applyHints();
  // The web engine starts from the first expose, so the native window must
  // exist now on every platform, not only where the X11 hints made it.
  window->winId();
  window->windowHandle()->installEventFilter(window);
  window->show();
  dropResizeIncrements(window);
  window->fitOuterSize();
  window->raise();
  window->activateWindow();
}

void destroyWindow(Window* window) {
  // It may be inside its own event handler (a close request): the widget goes
  // once control is back in the event loop; to the program it is gone now.
  window->hide();
  window->inputEnabled_ = false;
  window->deleteLater();
}

const WindowDef& definitionOf(const Window* window) {
  return *window->definition_;
}
Window* ownerOf(const Window* window) {
  return window->owner_;
}
bool isMinimised(const Window* window) {
  return window->isMinimized();
}
void restoreWindow(Window* window) {
  window->showNormal();
}
void activateWindow(Window* window) {
  window->raise();
  window->activateWindow();
}

bool isInputEnabled(const Window* window) {
  return window->inputEnabled_;
}

void setInputEnabled(Window* window, bool enabled) {
  window->inputEnabled_ = enabled;
  if (!enabled && window->isActiveWindow()) {
    if (QWidget* focus = window->focusWidget()) focus->clearFocus();
  }
}

// ---- Controls -------------------------------------------------------------------

namespace {

template <class Widget>
Widget* controlAs(const Window* window, int control) {
  auto* widget = dynamic_cast<Widget*>(widgetOf(window, control));
  // A handler reaching a control of another kind is a bug in the program.
  if (!widget) qFatal("control %d is not of the kind asked for", control);
  return widget;
}

}  // namespace

qr::Text editText(const Window* window, int control) {
  QWidget* widget = widgetOf(window, control);
  QString text;
  if (auto* multi = dynamic_cast<MultiLineEdit*>(widget)) {
    text = multi->toPlainText();
  } else {
    text = controlAs<QLineEdit>(window, control)->text();
  }
  text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return toCodepage(text);
}

void setEditText(Window* window, int control, const char* text) {
  QWidget* widget = widgetOf(window, control);
  if (auto* multi = dynamic_cast<MultiLineEdit*>(widget)) {
    multi->setPlainText(fromCodepage(text));
  } else {
    controlAs<QLineEdit>(window, control)->setText(fromCodepage(text));
  }
}

int comboSelection(const Window* window, int control) {
  return controlAs<DropDown>(window, control)->selection();
}

void comboAppend(Window* window, int control, const char* itemText) {
  controlAs<DropDown>(window, control)->append(fromCodepage(itemText));
}

int comboCount(const Window* window, int control) {
  return controlAs<DropDown>(window, control)->count();
}

qr::Text comboItem(const Window* window, int control, int index) {
  return toCodepage(controlAs<DropDown>(window, control)->itemText(index));
}

qr::Text comboEditText(const Window* window, int control) {
  return toCodepage(controlAs<DropDown>(window, control)->currentText());
}

void setPicture(Window* window, int control, const qr::ByteSet& imageFile) {
  auto* box = controlAs<PictureBox>(window, control);
  box->setImage(QImage());  // the old picture goes first
  box->setImage(decodePicture(std::span(imageFile.data(), imageFile.size())));
}

bool hasPicture(const Window* window, int control) {
  return !controlAs<PictureBox>(window, control)->image().isNull();
}

void setAccessibleText(Window* window, int control, const char* name, const char* description) {
  QWidget* widget = widgetOf(window, control);
  if (name) widget->setAccessibleName(fromCodepage(name));
  if (description) widget->setAccessibleDescription(fromCodepage(description));
}

}  // namespace toolkit
