// SPDX-License-Identifier: MIT
// A small HTTP server on 127.0.0.1 for the web-view tests: it answers each
// request through a route the test gives and keeps every request it saw, so a
// test can tell what the page under test managed to fetch or report.
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QTcpServer>
#include <QUrl>
#include <functional>

namespace webview_test {

struct Request {
  QUrl url;         // path with query
  QByteArray head;  // request line and header lines
  // The value of header `name` (any case), empty when absent.
  QByteArray header(const QByteArray& name) const;
};

struct Response {
  int status = 200;
  QByteArray contentType = "text/html; charset=utf-8";
  QList<QPair<QByteArray, QByteArray>> headers{};  // sent after the standard ones
  QByteArray body{};
};

class ProbeServer {
 public:
  using Route = std::function<Response(const Request& request)>;

  // Listens on a free port of 127.0.0.1; fails the calling test when it
  // cannot. Requests are served while the caller runs Qt's event loop.
  explicit ProbeServer(Route route);
  ProbeServer(const ProbeServer&) = delete;
  ProbeServer& operator=(const ProbeServer&) = delete;

  // "http://127.0.0.1:<port>" followed by `pathAndQuery` (which starts with '/').
  QString address(const QString& pathAndQuery) const;
  // Every request seen since the start or the last forget(), oldest first,
  // as path with query.
  const QList<QUrl>& requests() const { return requests_; }
  void forget() { requests_.clear(); }

 private:
  void serve(QTcpSocket* socket);

  Route route_;
  QTcpServer server_;
  QList<QUrl> requests_;
};

}  // namespace webview_test
