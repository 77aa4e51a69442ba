// SPDX-License-Identifier: MIT
#include "app/shell.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/icon/application_icon.h"
#include "common/codepage.h"
#include "encoder/encoder.h"
#include "toolkit/toolkit.h"

namespace {

struct LiveWindow {
  const toolkit::WindowDef* definition;
  toolkit::Window* window;
  bool modal = false;
  toolkit::ModalLoop* loop = nullptr;
  // Windows this one disabled when it opened modally, with their state before.
  std::vector<std::pair<toolkit::Window*, bool>> disabled;
};

struct ShellState {
  bool platformStarted = false;
  qr::Text programDirectory;
  std::span<const toolkit::WindowDef* const> definitions;
  std::vector<LiveWindow> live;
  bool loopEntered = false;
  toolkit::Window* currentModal = nullptr;
  toolkit::Window* hiddenOwner = nullptr;
};

ShellState state;

LiveWindow* findLive(const toolkit::Window* window) {
  for (LiveWindow& entry : state.live)
    if (entry.window == window) return &entry;
  return nullptr;
}

LiveWindow* findLive(const toolkit::WindowDef& definition) {
  for (LiveWindow& entry : state.live)
    if (entry.definition == &definition) return &entry;
  return nullptr;
}

// A close request from the user: close button, system menu, Alt+F4 or Esc.
void closeWindow(toolkit::Window* window) {
  LiveWindow* entry = findLive(window);
  if (!entry) {
    toolkit::destroyWindow(window);
    return;
  }
  if (entry->modal) {
    for (auto [other, wasEnabled] : entry->disabled)
      if (findLive(other)) toolkit::setInputEnabled(other, wasEnabled);
    entry->disabled.clear();
    entry->modal = false;
  }
  toolkit::ModalLoop* loop = entry->loop;
  state.live.erase(state.live.begin() + (entry - state.live.data()));
  toolkit::destroyWindow(window);
  if (state.currentModal == window) {
    state.currentModal = nullptr;
    if (loop) loop->end();
  }
  if (state.live.empty() && state.loopEntered) toolkit::quit(0);
}

[[noreturn]] void fatalFromCommon(const char* message) {
  FatalError(message);
}

}  // namespace

bool LoadWindow(const toolkit::WindowDef& definition, const toolkit::WindowDef* parent,
                Modal modal) {
  if (LiveWindow* existing = findLive(definition)) {
    if (toolkit::isMinimised(existing->window)) {
      toolkit::restoreWindow(existing->window);
    } else {
      toolkit::activateWindow(existing->window);
    }
    return true;
  }
  toolkit::Window* owner = nullptr;
  if (modal == Modal::No && parent) {
    LiveWindow* parentEntry = findLive(*parent);
    if (!parentEntry) return false;
    owner = parentEntry->window;
  }
  toolkit::processWaitingEvents();
  if (!owner && (modal == Modal::Yes || !definition.showInTaskbar)) owner = state.hiddenOwner;
  toolkit::Window* window = toolkit::createWindow(definition, owner);
  if (!window) return false;
  state.live.push_back(LiveWindow{.definition = &definition, .window = window, .disabled = {}});
  toolkit::processWaitingEvents();

  if (definition.created) {
    definition.created();
    if (!findLive(window)) return true;  // the handler destroyed it
  }
  toolkit::showWindow(window);
  if (modal == Modal::No) return true;

  LiveWindow* entry = findLive(window);
  entry->modal = true;
  for (LiveWindow& other : state.live) {
    if (other.window == window || toolkit::ownerOf(other.window)) continue;
    entry->disabled.emplace_back(other.window, toolkit::isInputEnabled(other.window));
    toolkit::setInputEnabled(other.window, false);
  }
  toolkit::ModalLoop loop;
  entry->loop = &loop;
  toolkit::Window* previous = state.currentModal;
  state.currentModal = window;
  while (state.currentModal) loop.run();
  state.currentModal = previous;
  return true;
}

void FatalError(const char* message) {
  // Built on the stack: this path also serves when the heap is exhausted.
  char text[1024];
  std::snprintf(text, sizeof text, "运行时出错!\r\n\r\n错误信息：%s\r\n", message ? message : "");
  // The terminal gets the same text with the platform's line breaks.
  std::string console = qr::codepage::toUtf8(text);
  for (std::size_t at; (at = console.find("\r\n")) != std::string::npos;) console.erase(at, 1);
  std::fputs(console.c_str(), stderr);
  std::fflush(stderr);
  if (state.platformStarted) {
    // Nothing of the interrupted program may run while the box is up.
    for (LiveWindow& entry : state.live) toolkit::setInputEnabled(entry.window, false);
    toolkit::showMessageBox("错误", text, toolkit::MessageIcon::Error);
  }
  shell::shutdown();
  std::fflush(nullptr);
  _exit(255);
}

namespace shell {

qr::Text directoryOf(const char* programPath) {
  const char* slash = programPath ? std::strrchr(programPath, '/') : nullptr;
  if (!slash) return {};
  return qr::Text::copy(
      std::string_view(programPath, static_cast<std::size_t>(slash - programPath)));
}

qr::Text programDirectory() {
  return qr::Text::copy(state.programDirectory.view());
}

toolkit::Window* liveWindow(const toolkit::WindowDef& definition) {
  LiveWindow* entry = findLive(definition);
  return entry ? entry->window : nullptr;
}

void start(int& argc, char** argv, std::span<const toolkit::WindowDef* const> definitions) {
  qr::setFatalHandler(fatalFromCommon);
  toolkit::setApplicationIdentity(QRGEN_WINDOW_CLASS, QRGEN_DESKTOP_ID);
  toolkit::startPlatform(argc, argv);
  state.platformStarted = true;
  toolkit::setApplicationIcon(applicationIcon());
  state.programDirectory = directoryOf(toolkit::programPath().c_str());
  toolkit::setCurrentDirectory(state.programDirectory.c_str());
  state.hiddenOwner = toolkit::createHiddenOwner();
  toolkit::setCloseRequestHandler(closeWindow);
  encoder::prepare(state.programDirectory.c_str());

  state.definitions = definitions;
  bool readable = !definitions.empty();
  for (const toolkit::WindowDef* definition : definitions) {
    if (!definition) {
      readable = false;
      break;
    }
    if (auto fault = toolkit::checkDefinition(*definition)) {
      std::fprintf(stderr, "window definition %s: %s\n",
                   qr::codepage::toUtf8(definition->name).c_str(), fault->c_str());
      readable = false;
    }
  }
  if (!readable) FatalError("载入窗口模板数据段出错!");
  if (!LoadWindow(*definitions.front(), nullptr, Modal::No)) FatalError("载入启动窗口失败");
}

int run() {
  state.loopEntered = true;
  return state.live.empty() ? 0 : toolkit::runEventLoop();
}

void shutdown() {
  while (!state.live.empty()) {
    toolkit::Window* window = state.live.back().window;
    state.live.pop_back();
    toolkit::destroyWindow(window);
  }
  state.currentModal = nullptr;
  state.loopEntered = false;
  encoder::release();
  if (state.hiddenOwner) toolkit::destroyWindow(state.hiddenOwner);
  state.hiddenOwner = nullptr;
  toolkit::setCloseRequestHandler(nullptr);
  if (state.platformStarted) toolkit::stopPlatform();
  state.platformStarted = false;
}

}  // namespace shell
