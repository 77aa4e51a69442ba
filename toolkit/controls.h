// SPDX-License-Identifier: MIT
// The Qt widgets behind the control kinds. Private to the toolkit and tests.
#pragma once

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>
#include <functional>
#include <optional>

class QTextLayout;

#include "common/text.h"
#include "toolkit/definition.h"
#include "toolkit/edit_limit.h"

namespace toolkit {

// The toolkit's one crossing between code-page bytes and Qt's strings. From
// the code page, null reads as empty and CR LF becomes Qt's '\n'; to it, an
// empty string gives the null text.
QString fromCodepage(const char* text);
qr::Text toCodepage(const QString& text);

// Multi-line edit box. Tab moves the focus on; the length limit holds for
// typing, input methods, paste and drops alike: an insertion that does not fit
// is cut at a character boundary.
class MultiLineEdit : public QPlainTextEdit {
 public:
  MultiLineEdit(QWidget* parent, int maxBytes, SelectionWhenUnfocused selection);

 private:
  void enforceLimit(int position, int added);
  int maxBytes_;
  bool trimming_ = false;
};

// Editable drop-down whose selection position changes only when the user picks
// a list item (mouse, arrows, Enter in the open list), never by typing.
class DropDown : public QComboBox {
 public:
  DropDown(QWidget* parent, int droppedHeight);
  int selection() const { return selection_; }
  // Appends without touching the selection or the edit field.
  void append(const QString& text);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void showPopup() override;

 private:
  int selection_ = -1;
  int droppedHeight_;
};

// Picture box: white (or the given) background, picture placed by its mode.
class PictureBox : public QWidget {
 public:
  PictureBox(QWidget* parent, QColor background, PictureMode mode);
  // A null image clears the box.
  void setImage(QImage image);
  const QImage& image() const { return image_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage image_;
  QColor background_;
  PictureMode mode_;
};

// Label and transparent label: text drawn in its colour, wrapped or as one
// vertically centred line; an opaque label fills its background first.
class TextLabel : public QWidget {
 public:
  TextLabel(QWidget* parent, QString text, QColor colour, std::optional<QColor> background,
            bool wrap);
  // The logical size the text takes as drawn: one line's advance and height,
  // or for wrapped text the widest line and the bottom of the last one.
  QSizeF textExtent() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // Lays the wrapped text out paragraph by paragraph, as drawn, handing each
  // laid-out paragraph to `use`.
  void layOutLines(const std::function<void(QTextLayout&)>& use) const;

  QString text_;
  QColor colour_;
  std::optional<QColor> background_;
  bool wrap_;
};

// Embedded web view. The engine lives in a module of its own, loaded right
// after the window's first show: the window is on screen without waiting for
// it, and the program starts even where the engine is missing (the frame then
// stays empty).
class HtmlFrame : public QWidget {
 public:
  HtmlFrame(QWidget* parent, const char* address, int zoomStep);
  void startEngine();
  // The engine's view, once started; null before or without the module.
  QWidget* view() const { return view_; }

 private:
  QString address_;
  int zoomStep_;
  QWidget* view_ = nullptr;
};

}  // namespace toolkit
