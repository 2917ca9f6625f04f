#include "gui/app/AboutBox.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QSysInfo>
#include <QVBoxLayout>

#include "gui/common/Icons.h"
#include "core/base/Version.h"
#include "gui/common/CoreText.h"

namespace ombrel {

namespace {

// What runs: the program's version, the system and the Qt library in use.
QString RunningVersionText() {
#if defined(Q_OS_LINUX)
  const QString system = QStringLiteral("Linux");
#else
  const QString system = QSysInfo::prettyProductName();
#endif
  return QStringLiteral("%1 %2 for %3\nQt %4")
      .arg(FromCore(ProgramName), FromCore(ProgramVersion), system, QString::fromLatin1(qVersion()));
}

}  // namespace

TAboutBox::TAboutBox(QWidget* parent, bool splash)
    : QDialog(parent, splash ? Qt::SplashScreen | Qt::FramelessWindowHint : Qt::Dialog) {
  setWindowTitle(QStringLiteral("About Quillvex Ombrel"));
  setWindowIcon(OmbrelIcon());
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(32, 24, 32, 24);
  auto* name = new QLabel(FromCore(MainWindowCaption));
  QFont big = name->font();
  big.setPointSizeF(big.pointSizeF() * 2.0);
  big.setBold(true);
  name->setFont(big);
  name->setAlignment(Qt::AlignCenter);
  layout->addWidget(name);
  auto* version = new QLabel(RunningVersionText());
  version->setAlignment(Qt::AlignCenter);
  layout->addWidget(version);
  auto* purpose = new QLabel(QStringLiteral("Statistics step by step, for scientists who are not statisticians."));
  purpose->setAlignment(Qt::AlignCenter);
  layout->addWidget(purpose);
  if (!splash) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
  }
}

}  // namespace ombrel
