#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace ombrel {

// Keeps one running Ombrel per user and settings file. The first start
// listens on a local socket; a later start connects to it, hands over its
// file argument and ends. A socket left behind by an instance that crashed
// answers no connection and is removed before listening.
class TSingleInstance : public QObject {
  Q_OBJECT

 public:
  // The socket name for a settings file: the program's instance name, the
  // user and a hash of the settings file, so that runs with separate
  // settings (tests) never meet. It is a full path in the user's runtime
  // folder ($XDG_RUNTIME_DIR) when there is a private one, else in a folder
  // of the user's own under the temporary folder (mode 0700, checked for
  // its owner); empty when neither can be had, and the program then runs
  // without the rule.
  static QString ServerNameFor(const QString& settingsFileName);

  explicit TSingleInstance(QString serverName, QObject* parent = nullptr);
  ~TSingleInstance() override;

  // Tries the running instance: asks it to come to the front and, when
  // `fileName` is not empty, to open that file (made absolute here, since
  // the other instance runs in another folder). True when another instance
  // took the request, so this one should end.
  bool HandOver(const QString& fileName, int timeoutMs = 3000);
  // Becomes the running instance. False when the socket cannot be created.
  bool Listen();

 signals:
  // Another start asked to come to the front.
  void ActivateRequested();
  // Another start handed over a file to open.
  void FileReceived(const QString& fileName);

 private:
  void AcceptConnection();

  QString mServerName;
  QLocalServer* mServer = nullptr;
};

}  // namespace ombrel
