// The main window's actions, menus and toolbar, and their enabling.

#include "gui/app/MainWindow.h"

#include <QAction>
#include <algorithm>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>

#include "core/shell/RecentFiles.h"
#include "core/shell/ShellRules.h"
#include "core/shell/TextSize.h"
#include "gui/app/StepBar.h"
#include "gui/common/CoreText.h"
#include "gui/common/Icons.h"
#include "gui/common/TextScale.h"
#include "gui/document/Analyze.h"
#include "gui/entry/ClipboardCommands.h"
#include "gui/help/HelpWindow.h"

namespace ombrel {

namespace {

std::size_t Index(TCommand command) { return static_cast<std::size_t>(command); }

constexpr int TextSizeShownMs = 3000;

}  // namespace

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
  CreateFileActions();
  CreateEditActions();
  CreateStepActions();
  CreateWindowActions();
  CreateHelpActions();
  CreateViewActions();
  LabelToolBarActions();
}

void Obmain::CreateViewActions() {
  const auto resize = [this](int steps) {
    return [this, steps] {
      TTextScale& scale = TTextScale::Instance();
      scale.SetPercent(steps == 0 ? NormalTextSize : StepTextSize(scale.Percent(), steps));
      statusBar()->showMessage(QStringLiteral("Text size %1%").arg(scale.Percent()), TextSizeShownMs);
    };
  };
  MakeAction(TCommand::TextLarger, QStringLiteral("&Larger"), {}, resize(1), false)
      ->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
  MakeAction(TCommand::TextSmaller, QStringLiteral("&Smaller"), QKeySequence(Qt::CTRL | Qt::Key_Minus), resize(-1),
             false);
  MakeAction(TCommand::TextNormal, QStringLiteral("&Normal Size"), QKeySequence(Qt::CTRL | Qt::Key_0), resize(0),
             false);
}

void Obmain::CreateFileActions() {
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
  MakePageAction(TCommand::Import, QStringLiteral("&Import Data (text or workbook)..."))
      ->setToolTip(QStringLiteral("Import"));
  MakePageAction(TCommand::Export, QStringLiteral("&Export..."))->setToolTip(QStringLiteral("Export"));
  MakeAction(
      TCommand::Exit, QStringLiteral("E&xit Ombrel"), QKeySequence(Qt::ALT | Qt::Key_F4), [this] { ExitCommand(); },
      false);
  // Ctrl+Shift+S as desktop programs have it.
  Action(TCommand::SaveAs)->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
}

void Obmain::CreateEditActions() {
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
}

void Obmain::CreateStepActions() {
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
}

void Obmain::CreateWindowActions() {
  MakeAction(
      TCommand::Cascade, QStringLiteral("&Cascade"), {}, [this] { mMdiArea->cascadeSubWindows(); }, false);
  MakeAction(
      TCommand::Tile, QStringLiteral("&Tile"), {}, [this] { mMdiArea->tileSubWindows(); }, false);
  MakeAction(TCommand::Duplicate, QStringLiteral("&Duplicate"), {}, [this] { DuplicateCommand(); });
  MakeAction(
      TCommand::NextWindow, QStringLiteral("Next Window"), QKeySequence(Qt::CTRL | Qt::Key_F6),
      [this] { mMdiArea->activateNextSubWindow(); }, false);
}

void Obmain::CreateHelpActions() {
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
}

void Obmain::LabelToolBarActions() {
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

  QMenu* textSize = menuBar()->addMenu(QStringLiteral("&View"))->addMenu(QStringLiteral("&Text Size"));
  for (const TCommand command : {TCommand::TextLarger, TCommand::TextSmaller, TCommand::TextNormal})
    textSize->addAction(Action(command));

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
  // Two bars side by side; where the window is too narrow for both, the
  // second goes under the first (ArrangeToolBars) rather than hiding its
  // buttons behind an overflow menu.
  const auto makeBar = [this](const QString& name) {
    QToolBar* bar = addToolBar(name);
    bar->setObjectName(name);
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    return bar;
  };
  QToolBar* bar = mToolBar = makeBar(QStringLiteral("Commands"));
  for (const TCommand command : {TCommand::New, TCommand::Open, TCommand::Save, TCommand::Print})
    bar->addAction(Action(command));
  bar->addSeparator();
  for (const TCommand command : {TCommand::Cut, TCommand::Copy, TCommand::Paste, TCommand::Undo, TCommand::Redo})
    bar->addAction(Action(command));
  bar = mDataToolBar = makeBar(QStringLiteral("Data commands"));
  bar->addAction(Action(TCommand::Import));
  bar->addAction(Action(TCommand::Export));
  bar->addSeparator();
  bar->addAction(Action(TCommand::ClearAll));
  bar->addAction(Action(TCommand::ViewNotes));
  bar->addAction(Action(TCommand::HelpGuide));
}

int Obmain::ToolBarsWidth() const { return std::max(mToolBar->sizeHint().width(), mDataToolBar->sizeHint().width()); }

void Obmain::ArrangeToolBars() {
  const bool sideBySide = mToolBar->sizeHint().width() + mDataToolBar->sizeHint().width() <= width();
  if (sideBySide != toolBarBreak(mDataToolBar)) return;
  if (sideBySide)
    removeToolBarBreak(mDataToolBar);
  else
    insertToolBarBreak(mDataToolBar);
}

QAction* Obmain::Action(TCommand command) const { return mActions[Index(command)]; }

QToolButton* Obmain::ClearAllButton() const {
  return qobject_cast<QToolButton*>(mDataToolBar->widgetForAction(Action(TCommand::ClearAll)));
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
  // A maximized document lends the title its name and changed mark, but the
  // mark is not handed on when another document closes.
  if (windowTitle().contains(QStringLiteral("[*]"))) setWindowModified(form != nullptr && form->isWindowModified());
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
    auto* action = new QAction(FromCore(RecentMenuCaption(number, entries[i])), this);
    connect(action, &QAction::triggered, this, [this, i] {
      if (!Calculating()) OpenRecentFile(static_cast<int>(i));
    });
    mFileMenu->addAction(action);
    mRecentActions << action;
  }
}

void Obmain::ApplyThemeIcons() {
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
}

}  // namespace ombrel
