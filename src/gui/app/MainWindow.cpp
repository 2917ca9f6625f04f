#include "gui/app/MainWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>
#include <QPrinter>
#include <QProgressBar>
#include <QScreen>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/app/AboutBox.h"
#include "gui/app/QtAsker.h"
#include "gui/common/BusyGuard.h"
#include "gui/common/Icons.h"
#include "gui/common/TextScale.h"
#include "gui/app/WindowMenu.h"
#include "core/shell/FileKinds.h"
#include "core/shell/GuideText.h"
#include "gui/app/Profile.h"
#include "gui/app/Recovery.h"
#include "gui/app/ShellSettings.h"
#include "gui/document/Analyze.h"
#include "core/shell/ShellRules.h"
#include "core/base/Version.h"
#include "gui/document/WindowCalcProgress.h"
#include "gui/guide/OmbrelGuide.h"
#include "gui/help/HelpWindow.h"
#include "gui/common/CoreText.h"

namespace ombrel {

namespace {

constexpr int StatusMeterIntervalMs = 50;
constexpr int RecoveryFailureShownMs = 30000;
constexpr int StatusMeterStep = 2;

// The folder documents are looked for in until the user opens one.
QString DefaultFolder() {
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  return QDir(documents).exists() ? documents : QDir::homePath();
}

}  // namespace

Obmain::Obmain(TShellOptions options, QWidget* parent)
    : QMainWindow(parent),
      mOptions(std::move(options)),
      mAsker(mOptions.Asker != nullptr ? mOptions.Asker : &DefaultAsker()),
      mProfileFileName(mOptions.ProfileFileName.isEmpty() ? TProfile::DefaultFileName() : mOptions.ProfileFileName) {
  setWindowTitle(FromCore(MainWindowCaption));
  if (mOptions.ShowSplash) {
    mSplash = std::make_unique<TAboutBox>(nullptr, true);
    mSplash->show();
  }
  mSettings.DocumentFolder = DefaultFolder();
  mSettings.ImportFolder = mSettings.DocumentFolder;

  auto* central = new QWidget;
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  mCentral = new QStackedWidget;
  mNoDocumentsPanel = new QLabel(FromCore(NoDocumentsMessage));
  mNoDocumentsPanel->setAlignment(Qt::AlignCenter);
  mNoDocumentsPanel->setWordWrap(true);
  mMdiArea = new QMdiArea;
  // Without scroll bars the area would ask for room for every tiled or
  // cascaded document at its smallest, and the main window would grow past
  // the screen.
  mMdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mMdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mCentral->addWidget(mNoDocumentsPanel);
  mCentral->addWidget(mMdiArea);
  mWindows = new TDocumentWindows(*mMdiArea, *this, *this);
  layout->addWidget(mCentral, 1);
  CreateStepBar();
  layout->addWidget(mStepBar);
  setCentralWidget(central);
  connect(mMdiArea, &QMdiArea::subWindowActivated, this, [this] { UpdateMenus(); });
  // The guide follows the active document.
  connect(mMdiArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
    if (auto* form = sub != nullptr ? qobject_cast<Analyze*>(sub->widget()) : nullptr)
      FollowOmbrelGuide(*this, form->Step());
  });

  mStatusMessage = new QLabel;
  mStatusMeter = new QProgressBar;
  mStatusMeter->setRange(0, 100);
  mStatusMeter->setMaximumWidth(200);
  statusBar()->addWidget(mStatusMessage);
  statusBar()->addWidget(mStatusMeter);
  mStatusMessage->hide();
  mStatusMeter->hide();
  mStatusTimer.setInterval(StatusMeterIntervalMs);
  if (!mOptions.RecoveryFolder.isEmpty()) {
    mRecovery = std::make_unique<TRecovery>(mOptions.RecoveryFolder);
    // Told without interrupting the typing that caused the write.
    connect(mRecovery.get(), &TRecovery::WriteFailed, this,
            [this](const QString& message) { statusBar()->showMessage(message, RecoveryFailureShownMs); });
  }
  connect(&mStatusTimer, &QTimer::timeout, this,
          [this] { mStatusMeter->setValue((mStatusMeter->value() + StatusMeterStep) % (100 + StatusMeterStep)); });

  CreateActions();
  CreateMenus();
  CreateToolBar();
  connect(QApplication::clipboard(), &QClipboard::dataChanged, this, [this] { UpdateMenus(); });
  ReadListSeparator();
  ReadSettings();
  RebuildRecentMenu();
  UpdateMenus();
  SetGuideHandler([this](TStep step) { ShowGuideDialog(step); });
  ApplyDesktopConventions();
}

Obmain::~Obmain() {
  // The base class closes and deletes the document windows after this
  // window's own parts are gone: their signals must no longer reach it.
  disconnect(mMdiArea, nullptr, this, nullptr);
  delete mWindows;
  mWindows = nullptr;
}

void Obmain::CreateStepBar() {
  mStepBar = new TStepBar;
  connect(mStepBar, &TStepBar::HelpClicked, this, [this](int button) {
    if (!Calculating()) HelpButtonClicked(button);
  });
  // Tab goes round the active document and the step buttons.
  mStepBar->SetFocusPast([this](bool next) {
    Analyze* form = ActiveDocument();
    return form != nullptr && FocusChainEnd(form, next);
  });
  connect(mStepBar, &TStepBar::BackClicked, this, [this] { PreviousStepCommand(); });
  connect(mStepBar, &TStepBar::ForwardClicked, this, [this] { NextStepCommand(); });
  // The pressed button follows the document, not the click: a click asks
  // for the step, and UpdateMenus shows where the document went.
  connect(mStepBar, &TStepBar::StepClicked, this, [this](TStep step) {
    GoToStep(step);
    UpdateMenus();
  });
}

// ---------------------------------------------------------------- settings

void Obmain::ReadSettings() {
  const QSize screen = ScreenArea().size();
  ReadShellSettings(mProfileFileName, screen.width(), screen.height(), mSettings);
  TTextScale::Instance().SetPercent(mSettings.TextSize);
  mSizeSaved = mSettings.Width > 0 && mSettings.Height > 0;
  if (mSizeSaved) {
    resize(mSettings.Width, mSettings.Height);
  } else {
    FitFirstSize();
  }
}

void Obmain::WriteSettings() {
  mSettings.Width = width();
  mSettings.Height = height();
  if (const auto place = GuidePlaceOf(*this)) mSettings.GuidePlace = GuidePlaceText(*place);
  mSettings.TextSize = TTextScale::Instance().Percent();
  WriteShellSettings(mProfileFileName, mSettings);
}

void Obmain::ReadListSeparator() {
  // Where the decimal separator is a comma, lists are separated by semicolons.
  mListSeparator = QLocale().decimalPoint() == QStringLiteral(",") ? QLatin1Char(';') : QLatin1Char(',');
}

void Obmain::resizeEvent(QResizeEvent* event) {
  ArrangeToolBars();
  QMainWindow::resizeEvent(event);
}

void Obmain::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LocaleChange) ReadListSeparator();
  QMainWindow::changeEvent(event);
}

// ---------------------------------------------------------------- state

QToolButton* Obmain::StepButton(int step) const { return mStepBar->StepButton(step); }

QPushButton* Obmain::HelpButton(int button) const { return mStepBar->HelpButton(button); }

bool Obmain::NoDocumentsPanelShown() const { return mCentral->currentWidget() == mNoDocumentsPanel; }

QList<Analyze*> Obmain::Documents() const { return mWindows != nullptr ? mWindows->Documents() : QList<Analyze*>{}; }

Analyze* Obmain::ActiveDocument() const { return mWindows != nullptr ? mWindows->ActiveDocument() : nullptr; }

bool Obmain::Calculating() const {
  if (mClearing) return true;
  for (const Analyze* form : Documents())
    if (form->Calculating()) return true;
  return false;
}

void Obmain::ScheduleMenuUpdate() {
  if (mMenuUpdatePending) return;
  mMenuUpdatePending = true;
  QTimer::singleShot(0, this, [this] {
    mMenuUpdatePending = false;
    UpdateMenus();
  });
}

void Obmain::RememberFile(const QString& path) {
  mSettings.DocumentFolder = QFileInfo(path).absolutePath();
  mSettings.RecentFiles.Add(path.toUtf8().toStdString());
  RebuildRecentMenu();
}

void Obmain::BeginStatus(const QString& message) {
  mStatusMessage->setText(message);
  mStatusMessage->show();
  mStatusMeter->setValue(0);
  mStatusMeter->show();
  mStatusTimer.start();
  mStatusFocus.emplace(this);
  centralWidget()->setEnabled(false);
  menuBar()->setEnabled(false);
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void Obmain::EndStatus() {
  mStatusTimer.stop();
  mStatusMessage->hide();
  mStatusMeter->hide();
  centralWidget()->setEnabled(true);
  menuBar()->setEnabled(true);
  mStatusFocus.reset();
}

THelpWindow& Obmain::HelpWindow() {
  // A modal dialog blocks every window but its own: help asked for from a
  // dialog is a window of the dialog's, gone with it.
  if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr && modal != this) {
    auto* help = modal->findChild<THelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    return help != nullptr ? *help : *new THelpWindow(modal);
  }
  if (mHelpWindow == nullptr) mHelpWindow = new THelpWindow(this);
  return *mHelpWindow;
}

QPrinter& Obmain::Printer() {
  if (!mPrinter) mPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *mPrinter;
}

// ---------------------------------------------------------------- documents

Analyze* Obmain::NewDocument() { return mWindows->NewDocument(); }

void Obmain::Start(const QStringList& arguments) {
  if (mSplash) {
    // Long enough to be read, then out of the way; timed from here because
    // the first document's guide may hold the start until it is closed.
    QTimer::singleShot(1500, this, [this] { mSplash.reset(); });
  }
  const int recovered = mRecovery ? OfferRecovery(*mRecovery, *mWindows, *mAsker, this) : 0;
  if (arguments.isEmpty() || arguments.first().isEmpty()) {
    if (recovered == 0) NewDocument();
  } else {
    OpenFile(arguments.first());
  }
  UpdateMenus();
  // Only a document's pages tell how much room they need.
  if (!mSizeSaved) FitFirstSize();
}

void Obmain::NewFileCommand() {
  if (!Calculating()) mWindows->NewWithDialog();
}

Obmain::TOpenResult Obmain::OpenFile(const QString& path) { return mWindows->OpenFile(path); }

void Obmain::OpenCommand() {
  if (Calculating()) return;
  mWindows->OpenWithDialog();
}

void Obmain::OpenRecentFile(int index) {
  if (Calculating()) return;
  const auto& entries = mSettings.RecentFiles.Entries();
  if (index < 0 || static_cast<std::size_t>(index) >= entries.size()) return;
  QString path = FromCore(entries[static_cast<std::size_t>(index)]);
  if (QFileInfo(path).isRelative()) path = QDir(DefaultFolder()).filePath(path);
  OpenFile(path);
}

bool Obmain::SaveDocument(Analyze& form, bool saveAs) {
  if (Calculating() || !mWindows->Save(form, saveAs)) return false;
  if (mRecovery) mRecovery->NoteSaved(form);
  return true;
}

bool Obmain::SaveCommand(bool saveAs) {
  Analyze* form = ActiveDocument();
  return form != nullptr && SaveDocument(*form, saveAs);
}

void Obmain::CloseCommand() {
  if (Calculating()) return;
  if (Analyze* form = ActiveDocument()) mWindows->Close(*form);
}

Analyze* Obmain::DuplicateCommand() { return Calculating() ? nullptr : mWindows->Duplicate(); }

void Obmain::ClearAllCommand() {
  Analyze* form = ActiveDocument();
  if (Calculating() || form == nullptr) return;
  form->CommitPendingEdit();
  if (!mAsker->AskYesNo(this, FromCore(ConfirmClearAllMessage), false)) return;
  const TStep oldStep = form->Step();
  {
    // Counts as a computation: every blocked command waits.
    TBusyGuard busy(form);
    mClearing = true;
    form->ResetDocument();
    mClearing = false;
  }
  // The reset document is on step 0 already, so the step change is judged
  // from where it was.
  const TStep step = oldStep == TStep::DataEntry ? TStep::DataEntry : TStep::DataFormat;
  form->GoToStep(step);
  DocumentStateChanged(*form);
  if (mSettings.GuideShown && mGuideHandler && step != oldStep) mGuideHandler(step);
}

// ---------------------------------------------------------------- steps

void Obmain::EnterStep(Analyze& form, TStep step) {
  const TStep before = form.Step();
  form.GoToStep(step);
  UpdateMenus();
  if (mSettings.GuideShown && mGuideHandler && step != before && &form == ActiveDocument()) mGuideHandler(step);
}

void Obmain::GoToStep(TStep step) {
  Analyze* form = ActiveDocument();
  if (Calculating() || form == nullptr) return;
  if (!StepReachable(form->Document().Format, step)) return;
  EnterStep(*form, step);
}

void Obmain::NextStepCommand() {
  Analyze* form = ActiveDocument();
  if (Calculating() || form == nullptr) return;
  const TStep next = NextStep(form->Document().Format, form->Step());
  if (next != form->Step()) EnterStep(*form, next);
}

void Obmain::PreviousStepCommand() {
  Analyze* form = ActiveDocument();
  if (Calculating() || form == nullptr) return;
  const TStep previous = PreviousStep(form->Document().Format, form->Step());
  if (previous != form->Step()) EnterStep(*form, previous);
}

void Obmain::SetEffectSizes(bool shown) {
  mSettings.EffectSizes = shown;
  WriteEffectSizesSetting(mProfileFileName, shown);
  // The other documents that show their report show it as chosen too (the
  // one whose box was clicked asks for its own step).
  for (Analyze* form : Documents())
    if (form != ActiveDocument() && form->Step() == TStep::Results && !form->Calculating())
      form->GoToStep(TStep::Results);
}

void Obmain::RequestStep(Analyze& form, TStep step) {
  if (&form == ActiveDocument()) GoToStep(step);
}

void Obmain::RequestNextStep(Analyze& form) {
  if (&form == ActiveDocument()) NextStepCommand();
}

void Obmain::RequestPreviousStep(Analyze& form) {
  if (&form == ActiveDocument()) PreviousStepCommand();
}

bool Obmain::FocusPastDocument(Analyze&, bool next) { return FocusChainEnd(mStepBar, next); }

void Obmain::DocumentStateChanged(Analyze& form) {
  if (mRecovery) mRecovery->NoteChanged(form);
  UpdateMenus();
}

void Obmain::RunPageCommand(TCommand command) {
  Analyze* form = ActiveDocument();
  if (Calculating() || form == nullptr) return;
  form->RunCommand(command);
  UpdateMenus();
}

// ---------------------------------------------------------------- help

void Obmain::ShowHelpTopic(int topic) { HelpWindow().ShowTopic(topic); }

void Obmain::ShowGuide() {
  if (Calculating()) return;
  mSettings.GuideShown = true;
  Analyze* form = ActiveDocument();
  if (mGuideHandler) mGuideHandler(form != nullptr ? form->Step() : TStep::DataFormat);
}

void Obmain::ShowGuideDialog(TStep step) {
  SetGuideShown(true);
  QList<QAction*> stepActions;
  for (const TCommand command : {TCommand::NextStep, TCommand::PreviousStep, TCommand::Step0, TCommand::Step1,
                                 TCommand::Step2, TCommand::Step3, TCommand::Step4, TCommand::Step5})
    stepActions << Action(command);
  ShowOmbrelGuide(
      *this, step, stepActions, [this](bool shown) { SetGuideShown(shown); }, GuidePlaceFromText(mSettings.GuidePlace));
}

void Obmain::HelpButtonClicked(int button) {
  Analyze* form = ActiveDocument();
  if (form == nullptr || button < 0 || button > 1) return;
  const TDocument& document = form->Document();
  const THelpButton help = HelpButtonsFor(form->Step(), document.Format, document.Choices.ColumnCountKind,
                                          document.Report.ReportHelpTopic)[static_cast<std::size_t>(button)];
  if (help.Action == THelpAction::Guide) {
    ShowGuide();
  } else if (form->Step() == TStep::Results && help.Topic <= 0) {
    // No report has chosen a topic yet.
    HelpWindow().ShowPage(QStringLiteral("checklist"));
  } else {
    ShowHelpTopic(help.Topic);
  }
}

// ---------------------------------------------------------------- printing

void Obmain::PrintCommand() {
  Analyze* form = ActiveDocument();
  if (Calculating() || form == nullptr || !Action(TCommand::Print)->isEnabled()) return;
  TDocumentPage* page = form->CurrentPage();
  if (page == nullptr) return;
  form->CommitPendingEdit();
  QPrinter& printer = Printer();
  printer.setDocName(form->Name());
  if (!mAsker->SetUpPrint(this, printer)) return;
  TBusyGuard busy;
  page->Print(printer);
}

void Obmain::PrinterSetupCommand() { mAsker->SetUpPage(this, Printer()); }

// ---------------------------------------------------------------- exit

void Obmain::ExitCommand() { close(); }

void Obmain::BringToFront() {
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
}

void Obmain::OpenHandedOverFile(const QString& path) {
  if (path.isEmpty()) return;
  // Opened once the computation is over.
  if (Calculating()) {
    QTimer::singleShot(500, this, [this, path] { OpenHandedOverFile(path); });
    return;
  }
  OpenFile(path);
}

void Obmain::closeEvent(QCloseEvent* event) {
  if (Calculating()) {
    // Exit during a computation asks it to stop instead.
    for (Analyze* form : Documents())
      if (form->Calculating()) form->Progress().RequestCancel();
    event->ignore();
    return;
  }
  if (!mWindows->CloseAll()) {
    event->ignore();
    UpdateMenus();
    return;
  }
  WriteSettings();
  if (mHelpWindow != nullptr) mHelpWindow->close();
  event->accept();
}

// ---------------------------------------------------------------- desktop

void Obmain::ApplyDesktopConventions() {
  setWindowIcon(OmbrelIcon());
  setAcceptDrops(true);
  ApplyThemeIcons();
  for (QAction* menu : menuBar()->actions())
    if (menu->menu() != nullptr && menu->text() == QStringLiteral("&Window"))
      mWindowList = new TWindowMenu(*menu->menu(), *mWindows);
  // The window keeps the size it is given: a page needing more room is
  // clipped rather than growing the window at a step change.
  setMinimumSize(320, 240);
}

QMenu* Obmain::WindowMenu() const { return mWindowList != nullptr ? mWindowList->Menu() : nullptr; }

QRect Obmain::ScreenArea() const {
  if (mOptions.ScreenArea.isValid()) return mOptions.ScreenArea;
  if (const QScreen* primary = QGuiApplication::primaryScreen()) return primary->availableGeometry();
  return {0, 0, 640, 480};
}

void Obmain::FitFirstSize() {
  const QRect screen = ScreenArea();
  // Room for the pages of the document: given less, a document scrolls.
  if (const Analyze* form = ActiveDocument()) mMdiArea->setMinimumSize(form->PagesMinimumSize());
  QSize least = minimumSizeHint();
  mMdiArea->setMinimumSize(0, 0);
  // A docked guide is added below at its own width, not at its smallest.
  if (const auto* guide = findChild<TOmbrelGuide*>(QString(), Qt::FindDirectChildrenOnly);
      guide != nullptr && guide->isVisibleTo(this) && !guide->isFloating())
    least.rwidth() -= guide->minimumSizeHint().width();
  const TWindowSize size = FirstWindowSize(screen.width(), screen.height(), least.width(), least.height());
  // The guide docks at the window's side: the window grows by its room as
  // far as the screen allows, so the document keeps its own.
  const QSize frame = frameGeometry().size() - QWidget::size();
  // Wide enough for every toolbar label at the desktop's scale.
  const int width = std::max(mSettings.GuideShown ? size.Width + GuideRoomWidth : size.Width, ToolBarsWidth());
  resize(std::min(width, screen.width() - frame.width()), std::min(size.Height, screen.height() - frame.height()));
  move(screen.left() + (screen.width() - frameGeometry().width()) / 2,
       screen.top() + (screen.height() - frameGeometry().height()) / 2);
}

QStringList Obmain::DroppedDocuments(const QMimeData* mime) const {
  QStringList paths;
  if (mime == nullptr || !mime->hasUrls()) return paths;
  for (const QUrl& url : mime->urls())
    if (url.isLocalFile() && FileKindOfPath(url.toLocalFile().toStdString()) == TFileKind::Document)
      paths << url.toLocalFile();
  return paths;
}

void Obmain::dragEnterEvent(QDragEnterEvent* event) {
  if (!Calculating() && !DroppedDocuments(event->mimeData()).isEmpty()) {
    event->acceptProposedAction();
    return;
  }
  QMainWindow::dragEnterEvent(event);
}

void Obmain::dropEvent(QDropEvent* event) {
  const QStringList paths = DroppedDocuments(event->mimeData());
  if (Calculating() || paths.isEmpty()) {
    QMainWindow::dropEvent(event);
    return;
  }
  event->acceptProposedAction();
  // Opened after the drop is over, so the source is not kept waiting while
  // a file is read or a message shows.
  QTimer::singleShot(0, this, [this, paths] {
    for (const QString& path : paths) {
      if (Calculating()) return;
      OpenFile(path);
    }
  });
}

}  // namespace ombrel
