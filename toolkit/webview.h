// SPDX-License-Identifier: MIT
// The entry point of the web-view module (qrgen-webview.so), which holds
// everything that needs Qt WebEngine.
#pragma once

class QWidget;

// Creates the web view as a child of `parent`, filling it, and starts opening
// `address` (UTF-8; null or empty: no page) at text-zoom step `zoomStep`
// (0 smallest to 4 largest). The widget belongs to `parent`.
extern "C" QWidget* qrgenCreateWebView(QWidget* parent, const char* address, int zoomStep);
using CreateWebViewFunction = QWidget* (*)(QWidget*, const char*, int);
inline constexpr const char* kWebViewModule = "qrgen-webview.so";
inline constexpr const char* kCreateWebViewSymbol = "qrgenCreateWebView";
