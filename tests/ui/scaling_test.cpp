// SPDX-License-Identifier: MIT
// On a scaled screen (QT_SCALE_FACTOR) texts are laid out in logical pixels
// again, with the font drawn at the device size; no text that fits on an
// unscaled screen may be cut off on a scaled one. Each scale needs a process of
// its own: the test runs its program again under each scale and compares.
#include <gtest/gtest.h>

#include <QFile>
#include <QGroupBox>
#include <QProcess>
#include <QPushButton>
#include <QStyleOption>
#include <QTextStream>
#include <cstdlib>

#include "toolkit/controls.h"
#include "ui/about/about_window.h"
#include "ui_test_support.h"

namespace {

using namespace ui_test;

constexpr const char* kReportVariable = "QRGEN_TEXT_FIT_REPORT";

struct Fit {
  QSizeF need;  // logical pixels the text takes
  QSizeF room;  // logical pixels the control gives it
  // How far the text reaches past its room, along each axis; 0 when it fits.
  QSizeF overflow() const {
    return {std::max(0.0, need.width() - room.width()),
            std::max(0.0, need.height() - room.height())};
  }
};

// Room and need of every control that shows a text of its own, keyed by
// window and control name.
std::map<QString, Fit> textFits(toolkit::Window* window) {
  std::map<QString, Fit> fits;
  const toolkit::WindowDef& definition = toolkit::definitionOf(window);
  for (std::size_t i = 0; i < definition.controls.size(); ++i) {
    QWidget* widget = control(window, static_cast<int>(i));
    Fit fit;
    if (auto* label = dynamic_cast<toolkit::TextLabel*>(widget)) {
      fit = {label->textExtent(), label->size()};
    } else if (auto* button = dynamic_cast<QPushButton*>(widget)) {
      QStyleOptionButton option;
      option.initFrom(button);
      fit = {
          QFontMetricsF(button->font()).size(Qt::TextSingleLine, button->text()),
          button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).size()};
    } else if (auto* group = dynamic_cast<QGroupBox*>(widget)) {
      QStyleOptionGroupBox option;
      option.initFrom(group);
      option.text = group->title();
      option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
      const QRect title = group->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                         QStyle::SC_GroupBoxLabel, group);
      // The title is drawn 2 pixels into its place, which must lie in the box.
      const qreal advance = QFontMetricsF(group->font()).horizontalAdvance(group->title());
      fit = {QSizeF(advance + 2, title.height()), title.intersected(group->rect()).size()};
    } else {
      continue;  // edit fields scroll their texts; the other kinds show none
    }
    fits[QString::fromLatin1(definition.name) + '/' +
         toolkit::fromCodepage(definition.controls[i].name)] = fit;
  }
  return fits;
}

std::map<QString, Fit> textFitsOfBothWindows() {
  ensureMainWindow();
  std::map<QString, Fit> fits = textFits(mainWindow());
  // Built without the shell: only its texts are looked at, and it stays hidden.
  toolkit::Window* about = toolkit::createWindow(AboutWindow, nullptr);
  fits.merge(textFits(about));
  toolkit::destroyWindow(about);
  return fits;
}

// Not a test of its own: the part each scaled run performs, asked for by the
// one below through the environment.
TEST(TextFit, ReportForTheScaleOfThisProcess) {
  const char* path = std::getenv(kReportVariable);
  if (!path) GTEST_SKIP() << "run by TextFit.NoTextIsCutOffMoreWhenScaled";
  QFile file(QString::fromLocal8Bit(path));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Text));
  QTextStream out(&file);
  out.setRealNumberPrecision(10);
  const std::map<QString, Fit> fits = textFitsOfBothWindows();
  out << toolkit::widgetOf(mainWindow())->devicePixelRatio() << '\n';
  for (const auto& [name, fit] : fits)
    out << name << ' ' << fit.need.width() << ' ' << fit.need.height() << ' ' << fit.room.width()
        << ' ' << fit.room.height() << '\n';
}

// What fits unscaled fits scaled, and what reaches past its control (the
// About window's bold captions, by the empty right half of their colon) does
// not reach further: at most by the rounding of one device pixel.
TEST(TextFit, NoTextIsCutOffMoreWhenScaled) {
  ensureMainWindow();
  ASSERT_EQ(toolkit::widgetOf(mainWindow())->devicePixelRatio(), 1.0)
      << "the reference run is unscaled";
  const std::map<QString, Fit> unscaled = textFitsOfBothWindows();
  for (const double scale : {1.5, 2.0}) {
    SCOPED_TRACE(scale);
    const QString report = QString::fromUtf8(shell::programDirectory().c_str()) +
                           QStringLiteral("/text-fit-%1.txt").arg(scale);
    QFile::remove(report);
    QProcess run;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_SCALE_FACTOR", QString::number(scale));
    environment.insert(kReportVariable, report);
    run.setProcessEnvironment(environment);
    run.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    run.start(QString::fromStdString(toolkit::programPath()),
              {"--gtest_filter=TextFit.ReportForTheScaleOfThisProcess"});
    ASSERT_TRUE(run.waitForFinished(120000));
    ASSERT_EQ(run.exitCode(), 0) << run.readAllStandardOutput().toStdString();
    QFile file(report);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    std::map<QString, Fit> scaled;
    QTextStream in(&file);
    ASSERT_EQ(in.readLine().toDouble(), scale) << "the scaled run's device pixel ratio";
    for (QString line = in.readLine(); !line.isNull(); line = in.readLine()) {
      const QStringList fields = line.split(' ');
      ASSERT_EQ(fields.size(), 5) << line.toStdString();
      scaled[fields[0]] = {{fields[1].toDouble(), fields[2].toDouble()},
                           {fields[3].toDouble(), fields[4].toDouble()}};
    }
    file.close();
    QFile::remove(report);
    ASSERT_EQ(scaled.size(), unscaled.size());
    for (const auto& [name, fit] : unscaled) {
      SCOPED_TRACE(name.toStdString());
      ASSERT_TRUE(scaled.count(name));
      const Fit& there = scaled.at(name);
      EXPECT_EQ(there.room, fit.room) << "places and sizes are logical pixels";
      const QSizeF more = there.overflow() - fit.overflow();
      EXPECT_LE(std::max(more.width(), more.height()), 1 / scale)
          << "needs " << there.need.width() << " x " << there.need.height() << " in "
          << there.room.width() << " x " << there.room.height() << ", unscaled " << fit.need.width()
          << " x " << fit.need.height();
    }
  }
}

}  // namespace
