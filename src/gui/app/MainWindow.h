#pragma once

#include <QList>
#include <QRect>
#include <QMainWindow>
#include <QStringList>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "gui/common/Asker.h"
#include "gui/common/TabChain.h"
#include "gui/app/DocumentWindows.h"
#include "gui/app/ShellSettings.h"
#include "gui/app/StepBar.h"
#include "core/shell/Commands.h"
#include "gui/document/DocumentHost.h"
#include "gui/document/DocumentPage.h"

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMimeData;
class QMenu;
class QPrinter;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QToolBar;
class QToolButton;

namespace ombrel {

class Analyze;
class TAboutBox;
class TWindowMenu;
class TDocument;
class THelpWindow;
class TRecovery;

// How the main window is set up; tests give their own settings file and
// answers.
struct TShellOptions {
  QString ProfileFileName;  // empty: the user's OMBREL.INI
  TAsker* Asker = nullptr;  // null: real dialogs
  bool ShowSplash = false;  // the about box while starting
  QString RecoveryFolder;   // where copies of modified documents are kept; empty: none
  QRect ScreenArea;         // empty: the available area of the primary screen
};

// The main window: the menus, toolbar, step and help buttons, the status
// area, the recent-file list and the settings, around up to ten document
// windows (TDocumentWindows). It routes every command to the active
// document, and ignores most of them while a computation runs.
class Obmain : public QMainWindow, public TDocumentHost, private TDocumentShell {
  Q_OBJECT

 public:
  explicit Obmain(TShellOptions options = {}, QWidget* parent = nullptr);
  ~Obmain() override;

  // The first document: the file named by the first argument, opened as
  // File Open does, or a new document on step 0. Documents a crashed
  // instance left are offered first; recovered ones replace the new one.
  void Start(const QStringList& arguments);

  // The commands, as the menus run them.
  void NewFileCommand();
  void OpenCommand();
  void CloseCommand();
  bool SaveCommand(bool saveAs);
  void PrintCommand();
  void PrinterSetupCommand();
  void ExitCommand();
  // Recent entry `index` (0 for #1).
  void OpenRecentFile(int index);
  Analyze* DuplicateCommand();
  void ClearAllCommand();
  void GoToStep(TStep step);
  void NextStepCommand();
  void PreviousStepCommand();
  void RunPageCommand(TCommand command);
  // Help button 0 or 1.
  void HelpButtonClicked(int button);
  void ShowGuide();

  using TOpenResult = TDocumentWindows::TOpenResult;
  // Opens a file as File Open does, without the dialog.
  TOpenResult OpenFile(const QString& path);
  // A new untitled document on step 0; null when ten are open.
  Analyze* NewDocument();

  // Another start of the program asked to come to the front, and handed
  // over a file.
  void BringToFront();
  void OpenHandedOverFile(const QString& path);

  QList<Analyze*> Documents() const;
  Analyze* ActiveDocument() const;
  // A computation runs (in any document), or Clear All is at work.
  bool Calculating() const;
  const TRecentFiles& RecentFiles() const { return mSettings.RecentFiles; }
  QString DocumentFolder() const override { return mSettings.DocumentFolder; }
  // The action of a command; null for the grids' own (DeleteRows and the
  // like).
  QAction* Action(TCommand command) const;
  // The toolbar's delete-all button: Clear All, enabled on the data-entry
  // step only.
  QToolButton* ClearAllButton() const;
  QList<QAction*> RecentFileActions() const { return mRecentActions; }
  QToolButton* StepButton(int step) const;
  QToolButton* BackButton() const { return mStepBar->BackButton(); }
  QToolButton* ForwardButton() const { return mStepBar->ForwardButton(); }
  QPushButton* HelpButton(int button) const;
  bool NoDocumentsPanelShown() const;
  THelpWindow& HelpWindow();
  QPrinter& Printer();
  QString ProfileFileName() const { return mProfileFileName; }
  // The copies of modified documents; null without a recovery folder.
  TRecovery* Recovery() const { return mRecovery.get(); }

  // The guide-shown flag: while on, every step change shows the guide.
  bool GuideShown() const { return mSettings.GuideShown; }
  void SetGuideShown(bool shown) { mSettings.GuideShown = shown; }
  // The guide dialog on a step, the flag switched on (the guide handler
  // unless replaced).
  void ShowGuideDialog(TStep step);
  // Shows the guide window for a step; the guide dialog unless replaced.
  void SetGuideHandler(std::function<void(TStep)> handler) { mGuideHandler = std::move(handler); }

  // Brings the menus, buttons and panel up to date with the documents.
  void UpdateMenus() override;

  // TDocumentHost.
  TAsker& Asker() override { return *mAsker; }
  bool SaveDocument(Analyze& form, bool saveAs) override;
  void RequestStep(Analyze& form, TStep step) override;
  void RequestNextStep(Analyze& form) override;
  void RequestPreviousStep(Analyze& form) override;
  void DocumentStateChanged(Analyze& form) override;
  bool FocusPastDocument(Analyze& form, bool next) override;
  void ShowHelpTopic(int topic) override;
  QString ImportFolder() const override { return mSettings.ImportFolder; }
  void SetImportFolder(const QString& folder) override { mSettings.ImportFolder = folder; }
  QChar ListSeparator() const override { return mListSeparator; }
  QString ExportFolder() const override { return mSettings.ExportFolder; }
  void SetExportFolder(const QString& folder) override { mSettings.ExportFolder = folder; }
  bool EffectSizes() const override { return mSettings.EffectSizes; }
  void SetEffectSizes(bool shown) override;

  // The Window menu; its foot lists the open documents.
  QMenu* WindowMenu() const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  // Ombrel documents dropped onto the window open as File Open opens them.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateActions();
  void CreateFileActions();
  void CreateEditActions();
  void CreateStepActions();
  void CreateWindowActions();
  void CreateHelpActions();
  // View > Text size.
  void CreateViewActions();
  // Short toolbar labels and the style's icons.
  void LabelToolBarActions();
  void CreateMenus();
  void CreateToolBar();
  // The widest toolbar, and the second under the first where the window is
  // too narrow for both side by side.
  int ToolBarsWidth() const;
  void ArrangeToolBars();
  void CreateStepBar();
  // An action that runs a command of the visible page.
  QAction* MakePageAction(TCommand command, const QString& text, const QKeySequence& shortcut = {});
  QAction* MakeAction(TCommand command, const QString& text, const QKeySequence& shortcut,
                      std::function<void()> handler, bool blocked = true);
  void RebuildRecentMenu();
  void ReadSettings();
  void WriteSettings();
  void ReadListSeparator();
  // Icons, drops and the window list of a desktop program.
  void ApplyDesktopConventions();
  // The desktop theme's icons, Ombrel's own where the theme has none.
  void ApplyThemeIcons();
  // The available area of the screen the window opens on.
  QRect ScreenArea() const;
  // With no saved size: two thirds of the screen, enough for every page.
  void FitFirstSize();
  // The Ombrel documents among dropped files.
  QStringList DroppedDocuments(const QMimeData* mime) const;

  // TDocumentShell.
  void EnterStep(Analyze& form, TStep step) override;
  void BeginStatus(const QString& message) override;
  void EndStatus() override;
  void RememberFile(const QString& path) override;
  void ScheduleMenuUpdate() override;

  TShellOptions mOptions;
  TAsker* mAsker;
  QString mProfileFileName;
  std::array<QAction*, CommandCount> mActions{};
  QToolBar* mToolBar = nullptr;
  QToolBar* mDataToolBar = nullptr;
  QMenu* mFileMenu = nullptr;
  QMenu* mEditMenu = nullptr;
  QMenu* mDataMenu = nullptr;
  QList<QAction*> mRecentActions;
  QAction* mRecentSeparator = nullptr;
  QStackedWidget* mCentral = nullptr;
  QLabel* mNoDocumentsPanel = nullptr;
  QMdiArea* mMdiArea = nullptr;
  TDocumentWindows* mWindows = nullptr;
  TStepBar* mStepBar = nullptr;
  QLabel* mStatusMessage = nullptr;
  QProgressBar* mStatusMeter = nullptr;
  QTimer mStatusTimer;
  // The control that had the keyboard before a status message disabled the window.
  std::optional<TKeepFocus> mStatusFocus;
  THelpWindow* mHelpWindow = nullptr;
  std::unique_ptr<QPrinter> mPrinter;
  std::unique_ptr<TAboutBox> mSplash;
  std::unique_ptr<TRecovery> mRecovery;
  TShellSettings mSettings;
  QChar mListSeparator = QLatin1Char(',');
  std::function<void(TStep)> mGuideHandler;
  bool mClearing = false;
  bool mMenuUpdatePending = false;
  bool mSizeSaved = false;
  TWindowMenu* mWindowList = nullptr;
};

}  // namespace ombrel
