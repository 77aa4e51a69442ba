// SPDX-License-Identifier: MIT
#include "toolkit/controls.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

#include "toolkit/edit_limit.h"
#include "toolkit/library.h"
#include "toolkit/picture.h"
#include "toolkit/toolkit.h"
#include "toolkit/webview.h"

namespace toolkit {

// ---- MultiLineEdit -------------------------------------------------------------

MultiLineEdit::MultiLineEdit(QWidget* parent, int maxBytes, SelectionWhenUnfocused selection)
    : QPlainTextEdit(parent), maxBytes_(maxBytes) {
  setTabChangesFocus(true);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  if (selection == SelectionWhenUnfocused::Shown) {
    QPalette p = palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight,
               p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText,
               p.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(p);
  }
  connect(document(), &QTextDocument::contentsChange, this,
          [this](int position, int, int added) { enforceLimit(position, added); });
}

void MultiLineEdit::enforceLimit(int position, int added) {
  if (trimming_ || maxBytes_ <= 0 || added <= 0) return;
  const TextRange overflow =
      overflowOfInsertion(toPlainText(), position, added, static_cast<std::size_t>(maxBytes_));
  if (overflow.isEmpty()) return;
  QTextCursor cut(document());
  cut.setPosition(static_cast<int>(overflow.begin));
  cut.setPosition(static_cast<int>(overflow.end), QTextCursor::KeepAnchor);
  trimming_ = true;
  cut.removeSelectedText();
  trimming_ = false;
}

// ---- DropDown ------------------------------------------------------------------

namespace {

// List items one pixel taller than the style's standard item.
class TallerItems : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return QStyledItemDelegate::sizeHint(option, index) + QSize(0, 1);
  }
};

}  // namespace

DropDown::DropDown(QWidget* parent, int droppedHeight)
    : QComboBox(parent), droppedHeight_(droppedHeight) {
  setEditable(true);
  setInsertPolicy(QComboBox::NoInsert);
  setCompleter(nullptr);  // typing must not pick an item behind the user's back
  setItemDelegate(new TallerItems(this));
  // Qt picks the item matching the typed text when editing ends or Enter is
  // pressed; here only the list picks.
  disconnect(lineEdit(), &QLineEdit::editingFinished, this, nullptr);
  disconnect(lineEdit(), &QLineEdit::returnPressed, this, nullptr);
  connect(this, &QComboBox::activated, this, [this](int index) { selection_ = index; });
  connect(lineEdit(), &QLineEdit::textEdited, this, [this] { selection_ = -1; });
}

void DropDown::append(const QString& text) {
  const QString field = currentText();
  const int current = currentIndex();
  addItem(text);
  // Qt makes the first item of an empty list current; the field keeps its text.
  if (current < 0) {
    setCurrentIndex(-1);
    setEditText(field);
  }
}

void DropDown::keyPressEvent(QKeyEvent* event) {
  // Enter in the closed box would pick the item matching the typed text.
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
    event->ignore();
    return;
  }
  QComboBox::keyPressEvent(event);
}

void DropDown::showPopup() {
  // The stored height covers edit field and dropped list together.
  if (droppedHeight_ > 0 && count() > 0) {
    const int itemHeight = view()->sizeHintForRow(0);
    const int listHeight = droppedHeight_ - height();
    if (itemHeight > 0) setMaxVisibleItems(std::max(1, listHeight / itemHeight));
  }
  QComboBox::showPopup();
}

// ---- PictureBox ----------------------------------------------------------------

PictureBox::PictureBox(QWidget* parent, QColor background, PictureMode mode)
    : QWidget(parent), background_(background), mode_(mode) {}

void PictureBox::setImage(QImage image) {
  image_ = std::move(image);
  update();
}

void PictureBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), background_);
  if (image_.isNull()) return;
  if (mode_ == PictureMode::NaturalTopLeft) {
    painter.drawImage(QPoint(0, 0), image_);
    return;
  }
  const QRect target = placePicture(size(), image_.size());
  if (target.size() == image_.size()) {
    painter.drawImage(target.topLeft(), image_);
    return;
  }
  // Smoothing serves a shrink onto the screen. On a scaled screen the picture
  // is enlarged in device pixels, and smoothing would only blur its edges: each
  // device pixel takes the nearest picture pixel instead.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, devicePixelRatio() == 1.0);
  painter.drawImage(target, image_);
}

// ---- TextLabel -----------------------------------------------------------------

TextLabel::TextLabel(QWidget* parent, QString text, QColor colour, std::optional<QColor> background,
                     bool wrap)
    : QWidget(parent),
      text_(std::move(text)),
      colour_(colour),
      background_(background),
      wrap_(wrap) {
  // Like a static control: clicks fall through to whatever lies beneath.
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAccessibleName(text_);
}

void TextLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (background_) painter.fillRect(rect(), *background_);
  painter.setPen(colour_);
  painter.setFont(font());
  if (!wrap_) {
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text_);
    return;
  }
  layOutLines([&painter](QTextLayout& layout) { layout.draw(&painter, QPointF(0, 0)); });
}

QSizeF TextLabel::textExtent() const {
  if (!wrap_) {
    const QFontMetricsF metrics(font());
    return {metrics.horizontalAdvance(text_), metrics.height()};
  }
  QSizeF extent;
  layOutLines([&extent](QTextLayout& layout) {
    for (int i = 0; i < layout.lineCount(); ++i) {
      const QTextLine line = layout.lineAt(i);
      extent.setWidth(std::max(extent.width(), line.naturalTextWidth()));
      extent.setHeight(std::max(extent.height(), line.y() + line.height()));
    }
  });
  return extent;
}

void TextLabel::layOutLines(const std::function<void(QTextLayout&)>& use) const {
  // The fixed layouts were made for faces with tight line spacing; CJK faces
  // here leave half an em between lines, so lines are set 1.2 em apart.
  const int pixelSize = font().pixelSize() > 0 ? font().pixelSize() : QFontMetrics(font()).height();
  const int lineHeight = qRound(pixelSize * 1.2);
  const int baseline = qRound(lineHeight * 0.82);
  int top = 0;
  for (const QString& paragraph : text_.split(QLatin1Char('\n'))) {
    QTextLayout layout(paragraph, font(), this);
    QTextOption option(Qt::AlignLeft);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    int lines = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(width());
      line.setPosition(QPointF(0, top + lines * lineHeight + baseline - line.ascent()));
      ++lines;
    }
    layout.endLayout();
    use(layout);
    top += std::max(lines, 1) * lineHeight;
  }
}

}  // namespace toolkit

namespace toolkit {

// ---- HtmlFrame -------------------------------------------------------------------

HtmlFrame::HtmlFrame(QWidget* parent, const char* address, int zoomStep)
    : QWidget(parent), address_(fromCodepage(address)), zoomStep_(zoomStep) {
  setFocusPolicy(Qt::StrongFocus);
  setAutoFillBackground(true);
  QPalette blank = palette();
  blank.setColor(QPalette::Window, Qt::white);
  setPalette(blank);
}

void HtmlFrame::startEngine() {
  // Without an address the view would stay empty: an engine is not needed
  // to show nothing.
  if (view_ || address_.isEmpty()) return;
  // Beside the program first, then the system's search. Kept loaded: its
  // widgets live as long as the process may.
  static CreateWebViewFunction create = [] {
    const std::string path = programPath();
    const std::string beside = path.substr(0, path.rfind('/') + 1) + kWebViewModule;
    LibraryHandle module = loadLibrary(beside.c_str());
    if (!module) module = loadLibrary(kWebViewModule);
    return reinterpret_cast<CreateWebViewFunction>(findEntryPoint(module, kCreateWebViewSymbol));
  }();
  if (!create) return;
  view_ = create(this, address_.toUtf8().constData(), zoomStep_);
  setFocusProxy(view_);
}

}  // namespace toolkit
