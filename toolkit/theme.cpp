// SPDX-License-Identifier: MIT
#include "toolkit/theme.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <algorithm>
#include <cmath>

namespace toolkit {
namespace {

ColourScheme current = ColourScheme::Off;

// A one-pixel outline along the inside of a rectangle, put on whole device
// pixels: on a screen scaled by a fraction a logical line straddles device
// pixels and comes out as two half-tone ones.
struct Outline {
  QRectF path;  // where the pen runs, logical pixels
  qreal width;  // pen width, logical pixels
};

Outline outlineOf(const QPainter* painter, QRect rect) {
  const QTransform toDevice = painter->deviceTransform();
  const qreal ratio = painter->device()->devicePixelRatio();
  const qreal line = std::max<qreal>(1, std::round(ratio));  // device pixels
  const QRectF exact = toDevice.mapRect(QRectF(rect));
  QRectF device(QPointF(std::round(exact.left()), std::round(exact.top())),
                QPointF(std::round(exact.right()), std::round(exact.bottom())));
  device.adjust(line / 2, line / 2, -line / 2, -line / 2);
  return {toDevice.inverted().mapRect(device), line / ratio};
}

class ThemedStyle : public QProxyStyle {
 public:
  explicit ThemedStyle(ColourScheme scheme)
      : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))), c_(coloursOf(scheme)) {}

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
    switch (element) {
      case PE_PanelButtonCommand:
      case PE_PanelButtonBevel:
        drawButtonPanel(option, painter);
        return;
      case PE_FrameLineEdit:
      case PE_Frame:
      case PE_FrameFocusRect:
        if (element == PE_FrameFocusRect) {
          QProxyStyle::drawPrimitive(element, option, painter, widget);
          return;
        }
        drawFrame(option->rect, painter, option->state & State_MouseOver ? c_.hotFrame : c_.frame);
        return;
      case PE_PanelLineEdit:
        if (const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option)) {
          painter->fillRect(option->rect.adjusted(1, 1, -1, -1), option->palette.base());
          if (frame->lineWidth > 0) drawFrame(option->rect, painter, c_.frame);
          return;
        }
        break;
      case PE_FrameGroupBox:
        drawFrame(option->rect, painter, c_.frame, 3);
        return;
      case PE_IndicatorCheckBox:
      case PE_IndicatorRadioButton:
        drawIndicator(element, option, painter);
        return;
      case PE_IndicatorArrowDown:
      case PE_IndicatorArrowUp:
      case PE_IndicatorSpinDown:
      case PE_IndicatorSpinUp:
        drawArrow(element == PE_IndicatorArrowDown || element == PE_IndicatorSpinDown, option->rect,
                  painter);
        return;
      default:
        break;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
  }

  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                          QPainter* painter, const QWidget* widget) const override {
    if (control == CC_ComboBox) {
      if (const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(option)) {
        painter->fillRect(combo->rect.adjusted(1, 1, -1, -1), combo->palette.base());
        drawFrame(combo->rect, painter, combo->state & State_MouseOver ? c_.hotFrame : c_.frame);
        const QRect button = subControlRect(CC_ComboBox, combo, SC_ComboBoxArrow, widget);
        QStyleOptionButton face;
        face.QStyleOption::operator=(*combo);
        face.rect = button.adjusted(1, 1, -1, -1);
        if (combo->activeSubControls & SC_ComboBoxArrow && combo->state & State_Sunken)
          face.state |= State_Sunken;
        drawButtonPanel(&face, painter);
        drawArrow(true, button, painter);
        return;
      }
    }
    if (control == CC_GroupBox) {
      if (const auto* group = qstyleoption_cast<const QStyleOptionGroupBox*>(option)) {
        drawGroupBox(group, painter, widget);
        return;
      }
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
  }

  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                       const QWidget* widget) const override {
    if (control == CC_GroupBox) {
      // The title sits in the frame line, as on the classic desktop.
      const QFontMetrics metrics(widget ? widget->font() : QApplication::font());
      const int titleHeight = metrics.height();
      const auto* group = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
      const int titleWidth = group ? metrics.horizontalAdvance(group->text) : 0;
      switch (sub) {
        case SC_GroupBoxFrame:
          return option->rect.adjusted(0, titleHeight / 2, 0, 0);
        case SC_GroupBoxLabel:
          return QRect(option->rect.left() + 8, option->rect.top(), titleWidth + 4, titleHeight);
        case SC_GroupBoxContents:
          return option->rect.adjusted(3, titleHeight, -3, -3);
        default:
          break;
      }
    }
    if (control == CC_ComboBox && sub == SC_ComboBoxArrow) {
      const int width = 17;
      return QRect(option->rect.right() - width + 1, option->rect.top(), width,
                   option->rect.height());
    }
    if (control == CC_ComboBox && sub == SC_ComboBoxEditField) {
      return option->rect.adjusted(3, 2, -19, -2);
    }
    return QProxyStyle::subControlRect(control, option, sub, widget);
  }

 private:
  void drawFrame(QRect rect, QPainter* painter, const QColor& colour, int radius = 0) const {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, radius > 0);
    const Outline outline = outlineOf(painter, rect);
    painter->setPen(QPen(colour, outline.width));
    painter->setBrush(Qt::NoBrush);
    const QRectF r = outline.path;
    if (radius > 0) {
      painter->drawRoundedRect(r, radius, radius);
    } else {
      painter->drawRect(r);
    }
    painter->restore();
  }

  void drawButtonPanel(const QStyleOption* option, QPainter* painter) const {
    const bool pressed = option->state & (State_Sunken | State_On);
    const bool hot = option->state & State_MouseOver;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(option->rect.topLeft(), option->rect.bottomLeft());
    fill.setColorAt(0, pressed ? c_.pressedTop : c_.fillTop);
    fill.setColorAt(1, pressed ? c_.pressedBottom : c_.fillBottom);
    const Outline outline = outlineOf(painter, option->rect);
    const QRectF r = outline.path;
    painter->setPen(QPen(hot ? c_.hotFrame : c_.frame, outline.width));
    painter->setBrush(fill);
    painter->drawRoundedRect(r, 3, 3);
    painter->restore();
  }

  void drawIndicator(PrimitiveElement element, const QStyleOption* option,
                     QPainter* painter) const {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(option->rect.topLeft(), option->rect.bottomRight());
    fill.setColorAt(0, c_.fillBottom);
    fill.setColorAt(1, Qt::white);
    const Outline outline = outlineOf(painter, option->rect);
    painter->setPen(QPen(c_.frame, outline.width));
    painter->setBrush(fill);
    const QRectF r = outline.path;
    if (element == PE_IndicatorRadioButton) {
      painter->drawEllipse(r);
      if (option->state & State_On) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(c_.glyph);
        painter->drawEllipse(r.center(), r.width() / 4, r.height() / 4);
      }
    } else {
      painter->drawRect(r);
      if (option->state & State_On) {
        QPainterPath tick;
        tick.moveTo(r.left() + r.width() * 0.25, r.top() + r.height() * 0.5);
        tick.lineTo(r.left() + r.width() * 0.45, r.top() + r.height() * 0.72);
        tick.lineTo(r.left() + r.width() * 0.78, r.top() + r.height() * 0.28);
        painter->setPen(QPen(c_.glyph, 2));
        painter->setBrush(Qt::NoBrush);
        painter->drawPath(tick);
      }
    }
    painter->restore();
  }

  void drawArrow(bool down, QRect rect, QPainter* painter) const {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(c_.glyph);
    const QPointF centre = QRectF(rect).center();
    const qreal half = 3.5;
    QPolygonF triangle;
    if (down) {
      triangle << QPointF(centre.x() - half, centre.y() - half / 2)
               << QPointF(centre.x() + half, centre.y() - half / 2)
               << QPointF(centre.x(), centre.y() + half / 2 + 1);
    } else {
      triangle << QPointF(centre.x() - half, centre.y() + half / 2)
               << QPointF(centre.x() + half, centre.y() + half / 2)
               << QPointF(centre.x(), centre.y() - half / 2 - 1);
    }
    painter->drawPolygon(triangle);
    painter->restore();
  }

  void drawGroupBox(const QStyleOptionGroupBox* group, QPainter* painter,
                    const QWidget* widget) const {
    const QRect frame = subControlRect(CC_GroupBox, group, SC_GroupBoxFrame, widget);
    const QRect label = subControlRect(CC_GroupBox, group, SC_GroupBoxLabel, widget);
    drawFrame(frame, painter, c_.frame, 3);
    // The title interrupts the frame line.
    painter->fillRect(label, group->palette.window());
    painter->setPen(group->palette.color(QPalette::WindowText));
    painter->drawText(label.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, group->text);
  }

  SchemeColours c_;
};

}  // namespace

SchemeColours coloursOf(ColourScheme scheme) {
  switch (scheme) {
    case ColourScheme::Blue:
      return {QColor(0, 60, 116),    QColor(33, 161, 33),  QColor(255, 255, 255),
              QColor(214, 208, 197), QColor(248, 179, 48), QColor(226, 223, 214),
              QColor(238, 237, 229)};
    case ColourScheme::OliveGreen:
      return {QColor(85, 128, 64),   QColor(33, 161, 33),  QColor(255, 255, 255),
              QColor(205, 214, 184), QColor(232, 160, 72), QColor(211, 218, 194),
              QColor(226, 231, 213)};
    case ColourScheme::Silver:
      return {QColor(198, 197, 215), QColor(0, 60, 116),   QColor(255, 255, 255),
              QColor(214, 214, 226), QColor(255, 190, 60), QColor(202, 202, 216),
              QColor(236, 236, 242)};
    case ColourScheme::Off:
      break;
  }
  return {};
}

void setThemedDrawing(int scheme) {
  const auto wanted =
      scheme >= 1 && scheme <= 3 ? static_cast<ColourScheme>(scheme) : ColourScheme::Off;
  if (wanted == current) return;
  current = wanted;
  // setStyle restyles every widget, open now or built later.
  if (wanted == ColourScheme::Off) {
    QApplication::setStyle(QStringLiteral("Fusion"));
  } else {
    QApplication::setStyle(new ThemedStyle(wanted));
  }
}

ColourScheme themedDrawing() {
  return current;
}

}  // namespace toolkit
