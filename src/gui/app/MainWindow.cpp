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
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

#include "gui/app/AboutBox.h"
#include "gui/app/QtAsker.h"
#include "gui/common/BusyGuard.h"
#include "gui/common/Icons.h"
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
#include "gui/entry/ClipboardCommands.h"
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

std::size_t Index(TCommand command) { return static_cast<std::size_t>(command); }

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
  // The scroll bars are for tiled and cascaded documents: the area keeps
  // room for the active document at its smallest.
  connect(mMdiArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
    if (sub != nullptr) mMdiArea->setMinimumSize(sub->widget()->minimumSizeHint());
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

// ---------------------------------------------------------------- building

QAction* Obmain::MakePageAction(TCommand command, const QString& text, const QKeySequence& shortcut) {
  return MakeAction(command, text, shortcut, [this, command] { RunPageCommand(command); });
}

QAction* Obmain::MakeAction(TCommand command, const QString& text, const QKeySequence& shortcut,
                            std::function<void()> handler, bool blocked) {
  auto* action = new QAction(text, this);
  if (!shortcut.isEmpty()) action->setShortcut(shortcut);
  connect(action, &QAction::triggered, this, [this, handler = std::move(handler), blocked] {
    // While a computation runs its data must not change under it.
    if (blocked && Calculating()) return;
    handler();
  });
  mActions[Index(command)] = action;
  return action;
}

void Obmain::CreateActions() {
  MakeAction(TCommand::New, QStringLiteral("&New File"), QKeySequence(Qt::CTRL | Qt::Key_N), [this] {
    NewFileCommand();
  })->setToolTip(QStringLiteral("New file. Start over. (Ctrl + N)"));
  MakeAction(TCommand::Open, QStringLiteral("&Open Ombrel File"), QKeySequence(Qt::CTRL | Qt::Key_O), [this] {
    OpenCommand();
  })->setToolTip(QStringLiteral("Open Ombrel file (Ctrl + O)"));
  MakeAction(TCommand::Close, QStringLiteral("&Close"), QKeySequence(Qt::CTRL | Qt::Key_W), [this] { CloseCommand(); });
  MakeAction(TCommand::Save, QStringLiteral("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S), [this] {
    SaveCommand(false);
  })->setToolTip(QStringLiteral("Save (Ctrl + S)"));
  MakeAction(TCommand::SaveAs, QStringLiteral("Save &As..."), {}, [this] { SaveCommand(true); });
  MakeAction(
      TCommand::PrinterSetup, QStringLiteral("Printer Setup"), {}, [this] { PrinterSetupCommand(); }, false);
  MakeAction(TCommand::Print, QStringLiteral("&Print"), QKeySequence(Qt::CTRL | Qt::Key_P), [this] {
    PrintCommand();
  })->setToolTip(QStringLiteral("Print (Ctrl + P)"));
  MakePageAction(TCommand::Import, QStringLiteral("&Import Data (text)..."))->setToolTip(QStringLiteral("Import"));
  MakePageAction(TCommand::Export, QStringLiteral("&Export..."))->setToolTip(QStringLiteral("Export"));
  MakeAction(
      TCommand::Exit, QStringLiteral("E&xit Ombrel"), QKeySequence(Qt::ALT | Qt::Key_F4), [this] { ExitCommand(); },
      false);

  MakeAction(TCommand::Undo, QStringLiteral("&Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z), [this] {
    if (Analyze* form = ActiveDocument()) form->Undo();
  })->setToolTip(QStringLiteral("Undo (Ctrl + Z)"));
  MakeAction(TCommand::Redo, QStringLiteral("&Redo"), QKeySequence(Qt::CTRL | Qt::Key_Y), [this] {
    if (Analyze* form = ActiveDocument()) form->Redo();
  });
  Action(TCommand::Redo)
      ->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
  Action(TCommand::Redo)->setToolTip(QStringLiteral("Redo (Ctrl + Y)"));
  MakePageAction(TCommand::Cut, QStringLiteral("Cu&t"), QKeySequence(Qt::CTRL | Qt::Key_X))
      ->setToolTip(QStringLiteral("Cut (Ctrl + X)"));
  MakePageAction(TCommand::Copy, QStringLiteral("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C))
      ->setToolTip(QStringLiteral("Copy (Ctrl + C)"));
  MakePageAction(TCommand::Paste, QStringLiteral("&Paste"), QKeySequence(Qt::CTRL | Qt::Key_V))
      ->setToolTip(QStringLiteral("Paste (Ctrl + V)"));
  MakePageAction(TCommand::TransposePaste, QStringLiteral("T&ranspose Paste"));
  MakePageAction(TCommand::Clear, QStringLiteral("Cl&ear"), QKeySequence(Qt::Key_Delete));
  MakePageAction(TCommand::SelectColumn, QStringLiteral("Select C&olumn"), QKeySequence(Qt::CTRL | Qt::Key_Space));
  MakePageAction(TCommand::SelectRow, QStringLiteral("Select &Row"), QKeySequence(Qt::SHIFT | Qt::Key_Space));
  MakePageAction(TCommand::SelectAll, QStringLiteral("Select &All"), QKeySequence(Qt::CTRL | Qt::Key_A));
  MakePageAction(TCommand::DeleteCells, QStringLiteral("&Delete cells..."));
  MakePageAction(TCommand::InsertCells, QStringLiteral("&Insert cells..."));
  MakePageAction(TCommand::AppendToNotes, QStringLiteral("Append to &Notes"));
  MakeAction(TCommand::ClearAll, QStringLiteral("Clear All"), {}, [this] {
    ClearAllCommand();
  })->setToolTip(QStringLiteral("Delete all data"));
  // The toolbar's delete-all button shows the icon; the menu item does not.
  Action(TCommand::ClearAll)->setIconVisibleInMenu(false);
  MakePageAction(TCommand::ViewNotes, QStringLiteral("View No&tes"), QKeySequence(Qt::CTRL | Qt::Key_T))
      ->setToolTip(QStringLiteral("View and edit notes (Ctrl + T)"));

  MakePageAction(TCommand::Transform, QStringLiteral("&Transform"));
  MakePageAction(TCommand::CombineVariables, QStringLiteral("Combine &Variables"));
  MakePageAction(TCommand::NumberFormat, QStringLiteral("&Number Format"));
  MakePageAction(TCommand::Exclude, QStringLiteral("&Exclude"), QKeySequence(Qt::CTRL | Qt::Key_E))->setCheckable(true);

  MakeAction(TCommand::NextStep, QStringLiteral("&Next Step"), QKeySequence(Qt::Key_F10), [this] {
    NextStepCommand();
  })->setToolTip(QStringLiteral("Next step (F10)"));
  MakeAction(TCommand::PreviousStep, QStringLiteral("&Previous Step"), QKeySequence(Qt::Key_F9), [this] {
    PreviousStepCommand();
  })->setToolTip(QStringLiteral("Previous step (F9)"));
  const char* const stepItems[StepCount] = {
      "&1st. Data Format", "&Enter && Edit Data", "&Column Stats", "C&hoose Test", "&Results", "&Graph"};
  const Qt::Key stepKeys[StepCount] = {Qt::Key_F1, Qt::Key_F2, Qt::Key_F3, Qt::Key_F4, Qt::Key_F5, Qt::Key_F6};
  for (int step = 0; step < StepCount; ++step) {
    MakeAction(StepCommand(step), QString::fromLatin1(stepItems[step]), QKeySequence(Qt::SHIFT | stepKeys[step]),
               [this, step] { GoToStep(static_cast<TStep>(step)); });
  }

  MakeAction(
      TCommand::Cascade, QStringLiteral("&Cascade"), {}, [this] { mMdiArea->cascadeSubWindows(); }, false);
  MakeAction(
      TCommand::Tile, QStringLiteral("&Tile"), {}, [this] { mMdiArea->tileSubWindows(); }, false);
  MakeAction(TCommand::Duplicate, QStringLiteral("&Duplicate"), {}, [this] { DuplicateCommand(); });
  MakeAction(
      TCommand::NextWindow, QStringLiteral("Next Window"), QKeySequence(Qt::CTRL | Qt::Key_F6),
      [this] { mMdiArea->activateNextSubWindow(); }, false);

  const auto topic = [this](int number) { return [this, number] { ShowHelpTopic(number); }; };
  MakeAction(
      TCommand::HelpContents, QStringLiteral("&Contents"), QKeySequence(Qt::Key_F1),
      [this] { HelpWindow().ShowContents(); }, false);
  MakeAction(TCommand::HelpSearch, QStringLiteral("Search"), {}, topic(-1), false);
  MakeAction(TCommand::HelpWhatOmbrelDoes, QStringLiteral("What Ombrel does"), {}, topic(HelpTopicWhatOmbrelDoes),
             false);
  MakeAction(TCommand::HelpTutorial, QStringLiteral("Tutorial"), {}, topic(HelpTopicTutorial), false);
  MakeAction(TCommand::HelpCommands, QStringLiteral("Commands"), {}, topic(HelpTopicCommands), false);
  MakeAction(TCommand::HelpNumbrant, QStringLiteral("Quillvex Numbrant"), {}, topic(HelpTopicNumbrant), false);
  MakeAction(TCommand::HelpVexal, QStringLiteral("Quillvex Vexal"), {}, topic(HelpTopicVexal), false);
  MakeAction(TCommand::HelpTechnicalSupport, QStringLiteral("Technical Support"), {}, topic(HelpTopicTechnicalSupport),
             false);
  MakeAction(TCommand::HelpHowToCite, QStringLiteral("How to Cite Ombrel"), {}, topic(HelpTopicHowToCite), false);
  MakeAction(TCommand::HelpGuide, QStringLiteral("Ombrel Guide"), {}, [this] {
    ShowGuide();
  })->setToolTip(QStringLiteral("Show the Ombrel Guide "));
  MakeAction(TCommand::About, QStringLiteral("&About Quillvex Ombrel"), {}, [this] { mAsker->ShowAbout(this); });

  // Short toolbar labels; the menus keep the full captions.
  const std::pair<TCommand, const char*> iconTexts[] = {
      {TCommand::New, "New"},         {TCommand::Open, "Open"},       {TCommand::Save, "Save"},
      {TCommand::Print, "Print"},     {TCommand::Import, "Import"},   {TCommand::Export, "Export"},
      {TCommand::ClearAll, "Clear"},  {TCommand::Undo, "Undo"},       {TCommand::Redo, "Redo"},
      {TCommand::ViewNotes, "Notes"}, {TCommand::HelpGuide, "Guide"},
  };
  for (const auto& [command, text] : iconTexts) Action(command)->setIconText(QString::fromLatin1(text));
  const std::pair<TCommand, QStyle::StandardPixmap> icons[] = {
      {TCommand::New, QStyle::SP_FileIcon},
      {TCommand::Open, QStyle::SP_DialogOpenButton},
      {TCommand::Save, QStyle::SP_DialogSaveButton},
      {TCommand::ClearAll, QStyle::SP_TrashIcon},
      {TCommand::Undo, QStyle::SP_ArrowBack},
      {TCommand::Redo, QStyle::SP_ArrowForward},
      {TCommand::HelpGuide, QStyle::SP_DialogHelpButton},
  };
  for (const auto& [command, pixmap] : icons) Action(command)->setIcon(style()->standardIcon(pixmap));
}

void Obmain::CreateMenus() {
  mFileMenu = menuBar()->addMenu(QStringLiteral("&File"));
  for (const TCommand command : {TCommand::New, TCommand::Open, TCommand::Close, TCommand::Save, TCommand::SaveAs})
    mFileMenu->addAction(Action(command));
  mFileMenu->addSeparator();
  mFileMenu->addAction(Action(TCommand::PrinterSetup));
  mFileMenu->addAction(Action(TCommand::Print));
  mFileMenu->addSeparator();
  mFileMenu->addAction(Action(TCommand::Import));
  mFileMenu->addAction(Action(TCommand::Export));
  mFileMenu->addSeparator();
  mFileMenu->addAction(Action(TCommand::Exit));

  mEditMenu = menuBar()->addMenu(QStringLiteral("&Edit"));
  mEditMenu->addAction(Action(TCommand::Undo));
  mEditMenu->addAction(Action(TCommand::Redo));
  mEditMenu->addSeparator();
  for (const TCommand command :
       {TCommand::Cut, TCommand::Copy, TCommand::Paste, TCommand::TransposePaste, TCommand::Clear})
    mEditMenu->addAction(Action(command));
  mEditMenu->addSeparator();
  for (const TCommand command : {TCommand::SelectColumn, TCommand::SelectRow, TCommand::SelectAll})
    mEditMenu->addAction(Action(command));
  mEditMenu->addSeparator();
  mEditMenu->addAction(Action(TCommand::DeleteCells));
  mEditMenu->addAction(Action(TCommand::InsertCells));
  mEditMenu->addSeparator();
  for (const TCommand command : {TCommand::AppendToNotes, TCommand::ClearAll, TCommand::ViewNotes})
    mEditMenu->addAction(Action(command));

  mDataMenu = menuBar()->addMenu(QStringLiteral("&Data"));
  for (const TCommand command :
       {TCommand::Transform, TCommand::CombineVariables, TCommand::NumberFormat, TCommand::Exclude})
    mDataMenu->addAction(Action(command));

  // Exclude shows the grid selection's state.
  const auto refresh = [this] {
    UpdateMenus();
    Analyze* form = ActiveDocument();
    TDocumentPage* page = form != nullptr ? form->CurrentPage() : nullptr;
    Action(TCommand::Exclude)->setChecked(page != nullptr && page->SelectionExcluded());
  };
  connect(mEditMenu, &QMenu::aboutToShow, this, refresh);
  connect(mDataMenu, &QMenu::aboutToShow, this, refresh);

  QMenu* steps = menuBar()->addMenu(QStringLiteral("&Steps"));
  steps->addAction(Action(TCommand::NextStep));
  steps->addAction(Action(TCommand::PreviousStep));
  steps->addSeparator();
  for (int step = 0; step < StepCount; ++step) steps->addAction(Action(StepCommand(step)));
  connect(steps, &QMenu::aboutToShow, this, [this] { UpdateMenus(); });

  QMenu* window = menuBar()->addMenu(QStringLiteral("&Window"));
  for (const TCommand command : {TCommand::Cascade, TCommand::Tile, TCommand::Duplicate, TCommand::NextWindow})
    window->addAction(Action(command));
  connect(window, &QMenu::aboutToShow, this, [this] { UpdateMenus(); });

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  help->addAction(Action(TCommand::HelpContents));
  help->addAction(Action(TCommand::HelpSearch));
  help->addSeparator();
  for (const TCommand command :
       {TCommand::HelpWhatOmbrelDoes, TCommand::HelpTutorial, TCommand::HelpCommands, TCommand::HelpNumbrant,
        TCommand::HelpVexal, TCommand::HelpTechnicalSupport, TCommand::HelpHowToCite})
    help->addAction(Action(command));
  help->addSeparator();
  help->addAction(Action(TCommand::HelpGuide));
  help->addSeparator();
  help->addAction(Action(TCommand::About));
}

void Obmain::CreateToolBar() {
  QToolBar* bar = mToolBar = addToolBar(QStringLiteral("Commands"));
  bar->setObjectName(QStringLiteral("Commands"));
  bar->setMovable(false);
  bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  for (const TCommand command : {TCommand::New, TCommand::Open, TCommand::Save, TCommand::Print})
    bar->addAction(Action(command));
  bar->addSeparator();
  for (const TCommand command : {TCommand::Cut, TCommand::Copy, TCommand::Paste, TCommand::Undo, TCommand::Redo})
    bar->addAction(Action(command));
  bar->addSeparator();
  bar->addAction(Action(TCommand::Import));
  bar->addAction(Action(TCommand::Export));
  bar->addSeparator();
  bar->addAction(Action(TCommand::ClearAll));
  bar->addAction(Action(TCommand::ViewNotes));
  bar->addAction(Action(TCommand::HelpGuide));
}

void Obmain::CreateStepBar() {
  mStepBar = new TStepBar;
  connect(mStepBar, &TStepBar::HelpClicked, this, [this](int button) {
    if (!Calculating()) HelpButtonClicked(button);
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
  WriteShellSettings(mProfileFileName, mSettings);
}

void Obmain::ReadListSeparator() {
  // Where the decimal separator is a comma, lists are separated by semicolons.
  mListSeparator = QLocale().decimalPoint() == QStringLiteral(",") ? QLatin1Char(';') : QLatin1Char(',');
}

void Obmain::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LocaleChange) ReadListSeparator();
  QMainWindow::changeEvent(event);
}

// ---------------------------------------------------------------- state

QAction* Obmain::Action(TCommand command) const { return mActions[Index(command)]; }

QToolButton* Obmain::ClearAllButton() const {
  return qobject_cast<QToolButton*>(mToolBar->widgetForAction(Action(TCommand::ClearAll)));
}

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

void Obmain::UpdateMenus() {
  Analyze* form = ActiveDocument();
  const QList<Analyze*> documents = Documents();
  const QUndoStack* history = form != nullptr ? &form->UndoStack() : nullptr;
  TShellSituation situation;
  situation.HasDocument = form != nullptr;
  situation.DocumentCount = static_cast<int>(documents.size());
  // Paste needs text on the clipboard; the clipboard says when it changes.
  situation.ClipboardHasText = ClipboardHasText();
  if (form != nullptr) {
    situation.Step = form->Step();
    situation.Format = form->Document().Format;
    situation.CanUndo = history->canUndo();
    situation.CanRedo = history->canRedo();
  }
  const TMenuState state = MenuStateFor(situation);
  for (std::size_t i = 0; i < CommandCount; ++i)
    if (mActions[i] != nullptr) mActions[i]->setEnabled(state.Enabled[static_cast<TCommand>(i)]);
  // The toolbar's delete-all button shows Clear All where the data is;
  // set after the action, whose changes the button follows.
  ClearAllButton()->setEnabled(state.ClearAllButton);
  Action(TCommand::Print)->setText(FromCore(PrintCaption(situation.Step)));
  // The undo items name the step they take back or do again.
  const auto showStep = [](QAction* action, const QString& caption, const QString& step) {
    action->setText(action->isEnabled() && !step.isEmpty() ? caption + QLatin1Char(' ') + step : caption);
  };
  showStep(Action(TCommand::Undo), QStringLiteral("&Undo"), history != nullptr ? history->undoText() : QString());
  showStep(Action(TCommand::Redo), QStringLiteral("&Redo"), history != nullptr ? history->redoText() : QString());
  mStepBar->ShowState(
      state,
      HelpButtonsFor(situation.Step, situation.Format,
                     form != nullptr ? form->Document().Choices.ColumnCountKind : TColumnCountKind::None,
                     form != nullptr ? form->Document().Report.ReportHelpTopic : 0),
      form != nullptr);
  mCentral->setCurrentWidget(documents.isEmpty() ? static_cast<QWidget*>(mNoDocumentsPanel) : mMdiArea);
}

void Obmain::RebuildRecentMenu() {
  for (QAction* action : mRecentActions) {
    mFileMenu->removeAction(action);
    action->deleteLater();
  }
  mRecentActions.clear();
  if (mRecentSeparator != nullptr) {
    mFileMenu->removeAction(mRecentSeparator);
    mRecentSeparator->deleteLater();
    mRecentSeparator = nullptr;
  }
  const auto& entries = mSettings.RecentFiles.Entries();
  if (entries.empty()) return;
  mRecentSeparator = mFileMenu->addSeparator();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const int number = static_cast<int>(i) + 1;
    auto* action = new QAction(QString::fromUtf8(RecentMenuCaption(number, entries[i]).c_str()), this);
    connect(action, &QAction::triggered, this, [this, i] {
      if (!Calculating()) OpenRecentFile(static_cast<int>(i));
    });
    mFileMenu->addAction(action);
    mRecentActions << action;
  }
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
}

THelpWindow& Obmain::HelpWindow() {
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
  if (!mSizeSaved) {
    FitFirstSize();
    PlaceOmbrelGuide(*this);
  }
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
  QString path = QString::fromUtf8(entries[static_cast<std::size_t>(index)].c_str());
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

void Obmain::RequestStep(Analyze& form, TStep step) {
  if (&form == ActiveDocument()) GoToStep(step);
}

void Obmain::RequestNextStep(Analyze& form) {
  if (&form == ActiveDocument()) NextStepCommand();
}

void Obmain::RequestPreviousStep(Analyze& form) {
  if (&form == ActiveDocument()) PreviousStepCommand();
}

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
  ShowOmbrelGuide(*this, step, stepActions, [this](bool shown) { SetGuideShown(shown); });
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
  Action(TCommand::SaveAs)->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  // Freedesktop icon names, and Ombrel's own drawings where the theme has none.
  const struct {
    TCommand Command;
    const char* ThemeName;
    const char* Fallback;
  } icons[] = {
      {TCommand::New, "document-new", "new"},          {TCommand::Open, "document-open", "open"},
      {TCommand::Save, "document-save", "save"},       {TCommand::SaveAs, "document-save-as", "save"},
      {TCommand::Print, "document-print", "print"},    {TCommand::Cut, "edit-cut", "cut"},
      {TCommand::Copy, "edit-copy", "copy"},           {TCommand::Paste, "edit-paste", "paste"},
      {TCommand::Import, "document-import", "import"}, {TCommand::Export, "document-export", "export"},
      {TCommand::ClearAll, "edit-clear", "clear"},     {TCommand::ViewNotes, "accessories-text-editor", "notes"},
      {TCommand::HelpGuide, "help-contents", "guide"},
  };
  for (const auto& icon : icons)
    Action(icon.Command)->setIcon(ThemeIcon(QString::fromLatin1(icon.ThemeName), QString::fromLatin1(icon.Fallback)));
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
  const QSize least = minimumSizeHint();
  const TWindowSize size = FirstWindowSize(screen.width(), screen.height(), least.width(), least.height());
  resize(size.Width, size.Height);
  // Room for the guide beside the window where the screen has it, the two
  // centered together.
  const int besideWidth = mSettings.GuideShown && screen.width() - size.Width >= GuideRoomWidth ? GuideRoomWidth : 0;
  move(screen.left() + (screen.width() - size.Width - besideWidth) / 2,
       screen.top() + (screen.height() - size.Height) / 2);
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
