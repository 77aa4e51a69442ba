// SPDX-License-Identifier: MIT
#include "probe_server.h"

#include <gtest/gtest.h>

#include <QHostAddress>
#include <QTcpSocket>

namespace webview_test {

namespace {

QByteArray reason(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 204:
      return "No Content";
    case 302:
      return "Found";
    case 401:
      return "Unauthorized";
    default:
      return "Not Found";
  }
}

}  // namespace

QByteArray Request::header(const QByteArray& name) const {
  for (const QByteArray& line : head.split('\n')) {
    const qsizetype colon = line.indexOf(':');
    if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
      return line.mid(colon + 1).trimmed();
  }
  return {};
}

ProbeServer::ProbeServer(Route route) : route_(std::move(route)) {
  EXPECT_TRUE(server_.listen(QHostAddress::LocalHost, 0)) << server_.errorString().toStdString();
  QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
      QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { serve(socket); });
      QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
  });
}

QString ProbeServer::address(const QString& pathAndQuery) const {
  return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(pathAndQuery);
}

void ProbeServer::serve(QTcpSocket* socket) {
  // The head may come in pieces; bodies (beacons) are not needed and ignored.
  QByteArray head = socket->property("head").toByteArray() + socket->readAll();
  const qsizetype end = head.indexOf("\r\n\r\n");
  if (end < 0) {
    socket->setProperty("head", head);
    return;
  }
  if (socket->property("answered").toBool()) return;
  socket->setProperty("answered", true);
  const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
  const Request request{QUrl(QString::fromLatin1(requestLine.value(1))), head.left(end)};
  requests_.append(request.url);

  const Response response = route_(request);
  QByteArray out = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' +
                   reason(response.status) + "\r\nContent-Type: " + response.contentType +
                   "\r\nContent-Length: " + QByteArray::number(response.body.size()) +
                   "\r\nCache-Control: no-store\r\nConnection: close\r\n";
  for (const auto& [name, value] : response.headers) out += name + ": " + value + "\r\n";
  out += "\r\n" + response.body;
  socket->write(out);
  socket->disconnectFromHost();
}

}  // namespace webview_test
