#include "gui/app/SingleInstance.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

namespace ombrel {

namespace {

constexpr char InstanceName[] = "Quillvex Ombrel for Windows ID";
// One request per connection: "ACTIVATE" or "OPEN" + tab + path, then a
// line end; the running instance answers "OK" before acting on it.
constexpr char ActivateRequest[] = "ACTIVATE";
constexpr char OpenRequest[] = "OPEN\t";
constexpr char Answer[] = "OK\n";
constexpr qsizetype MaxRequestLength = 64 * 1024;
// A socket path must fit the 108 bytes of a socket address; the server
// first binds in a temporary folder beside it, whose name is a few bytes
// longer.
constexpr qsizetype MaxSocketPathLength = 90;

// The user's runtime folder, when there is one that only the user can
// write to; empty otherwise.
QString RuntimeFolder() {
  const QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (folder.isEmpty()) return {};
  const QFileInfo info(folder);
  if (!info.isAbsolute() || !info.isDir() || info.ownerId() != ::getuid()) return {};
  if ((info.permissions() & (QFileDevice::WriteGroup | QFileDevice::WriteOther)) != 0) return {};
  return info.absoluteFilePath();
}

// Without a runtime folder: a folder of the user's own under the temporary
// folder, "ombrel-" and the user's number, made with mode 0700 when missing.
// One that exists must be a real folder (no link) of the user's; one open to
// others is closed first. Where another user took the name, the next of a
// few names is tried; empty when none will do.
QString PrivateTemporaryFolder() {
  const uid_t user = ::getuid();
  const QByteArray base = QFile::encodeName(QDir::tempPath()) + "/ombrel-" + QByteArray::number(user);
  constexpr int Names = 8;
  for (int n = 0; n < Names; ++n) {
    const QByteArray path = n == 0 ? base : base + '-' + QByteArray::number(n);
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) continue;
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != user) continue;
    if ((info.st_mode & 077) != 0 && ::chmod(path.constData(), 0700) != 0) continue;
    return QFile::decodeName(path);
  }
  return {};
}

}  // namespace

QString TSingleInstance::ServerNameFor(const QString& settingsFileName) {
  const QByteArray hash =
      QCryptographicHash::hash(QFileInfo(settingsFileName).absoluteFilePath().toUtf8(), QCryptographicHash::Sha1)
          .toHex()
          .left(12);
  const QString name =
      QStringLiteral("%1-%2-%3").arg(QLatin1String(InstanceName)).arg(::getuid()).arg(QLatin1String(hash));
  // In the shared temporary folder another user could take the name first
  // and receive the files handed over, so the socket lives in a folder only
  // the user can write to.
  for (const auto& folderOf : {RuntimeFolder, PrivateTemporaryFolder}) {
    const QString folder = folderOf();
    if (folder.isEmpty()) continue;
    const QString path = QDir(folder).filePath(name);
    if (QFile::encodeName(path).size() <= MaxSocketPathLength) return path;
  }
  return {};
}

TSingleInstance::TSingleInstance(QString serverName, QObject* parent)
    : QObject(parent), mServerName(std::move(serverName)) {}

TSingleInstance::~TSingleInstance() {
  if (mServer != nullptr) mServer->close();
}

bool TSingleInstance::HandOver(const QString& fileName, int timeoutMs) {
  if (mServerName.isEmpty()) return false;
  QLocalSocket socket;
  socket.connectToServer(mServerName);
  if (!socket.waitForConnected(timeoutMs)) return false;
  QByteArray request = fileName.isEmpty() ? QByteArray(ActivateRequest)
                                          : QByteArray(OpenRequest) + QFileInfo(fileName).absoluteFilePath().toUtf8();
  request.append('\n');
  socket.write(request);
  if (!socket.waitForBytesWritten(timeoutMs)) return false;
  // The answer says the request arrived; without it the running instance
  // is hung, and this start ends anyway rather than open a second window.
  QByteArray answer;
  while (!answer.contains('\n') && socket.waitForReadyRead(timeoutMs)) answer += socket.readAll();
  socket.disconnectFromServer();
  return true;
}

bool TSingleInstance::Listen() {
  if (mServer != nullptr) return true;
  if (mServerName.isEmpty()) return false;
  mServer = new QLocalServer(this);
  mServer->setSocketOptions(QLocalServer::UserAccessOption);
  connect(mServer, &QLocalServer::newConnection, this, &TSingleInstance::AcceptConnection);
  if (mServer->listen(mServerName)) return true;
  // Only a dead instance's socket can be in the way: HandOver found no one
  // answering before this was called.
  QLocalServer::removeServer(mServerName);
  return mServer->listen(mServerName);
}

void TSingleInstance::AcceptConnection() {
  while (QLocalSocket* socket = mServer->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > MaxRequestLength) socket->abort();
        return;
      }
      QByteArray line = socket->readLine(MaxRequestLength);
      if (line.endsWith('\n')) line.chop(1);
      socket->write(Answer);
      socket->flush();
      // Acted on once the answer is out, so the other start can end while a
      // file is read here.
      QString fileName;
      if (line.startsWith(OpenRequest)) {
        fileName = QString::fromUtf8(line.mid(static_cast<qsizetype>(sizeof(OpenRequest) - 1)));
      }
      QTimer::singleShot(0, this, [this, fileName] {
        emit ActivateRequested();
        if (!fileName.isEmpty()) emit FileReceived(fileName);
      });
    });
  }
}

}  // namespace ombrel
