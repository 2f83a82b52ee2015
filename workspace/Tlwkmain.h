#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "components/HalvornAboutBox.h"
#include "components/KURL2.h"
#include "platform/controls/Form.h"
#include "platform/controls/Menu.h"
#include "platform/controls/StatusBar.h"
#include "platform/controls/StringGrid.h"
#include "platform/controls/ToolBar.h"
#include "platform/controls/Widgets.h"
#include "platform/core/Bitmap.h"
#include "platform/core/ImageList.h"
#include "platform/core/Paths.h"
#include "platform/core/Process.h"
#include "platform/dialogs/FileDialog.h"
#include "workspace/ProjectFormat.h"

namespace tlwk {

class TfrmImport;

// The tile list grid has this many columns, one tile each; tiles past the last column are kept but not shown.
inline constexpr int kListColumns = 258;
// The tile list grid is this much taller than one tile: room for its scroll bar and border.
inline constexpr int kListExtraHeight = 21;

// The workspace's main window: the tile list, the work space, the animation panel and every command.
class TfrmMain : public platform::Form {
 public:
  TfrmMain();
  ~TfrmMain() override;

  // Window state (the model of the window).
  std::string programFolder;    // ends in "/"; settings value "Install"
  std::string editorFolder;     // ends in "/"; settings value "Bmpdir"
  std::string tempFolder;       // folder of the temporary tile file
  std::string projectToReopen;  // settings value "Startup", or "nostartup"
  std::string externalEditor;   // settings value "Editor"
  std::string editorPath;       // the program Modify starts
  std::string projectName;      // full path of the current project file; empty for untitled work
  int selectedTileCol = 0, selectedTileRow = 0;
  int selectedCellCol = 0, selectedCellRow = 0;
  int clickX = 0, clickY = 0;
  std::int32_t cellClipboard = -1;  // -1: empty
  std::int32_t framesPerSecond = 5;
  std::int32_t currentFrame = 0;
  bool resumeFlag = false;
  bool playingFlag = false;
  bool loopFlag = false;
  bool recordMode = false;
  bool accepted = false;
  // Shared with the import dialog's preview, which never changes it.
  std::shared_ptr<const platform::Bitmap> importedBitmap = std::make_shared<const platform::Bitmap>();
  int importedWidth = 0, importedHeight = 0;
  bool startupDone = false;

  // Components.
  platform::ImageList imagelist1{32, 32};
  platform::ImageList AniImageList{32, 32};

  platform::MainMenu mnuMain{*this};
  platform::MenuItem mnuFile{mnuMain, "&File"};
  platform::MenuItem mnuFile_New{mnuFile, "&New Project"};
  platform::MenuItem mnuFile_Open{mnuFile, "&Open Project"};
  platform::MenuItem mnuFile_Save{mnuFile, "&Save Project"};
  platform::MenuItem mnuFile_SaveAs{mnuFile, "Save Project &As"};
  platform::MenuItem mnuFile_Close{mnuFile, "&Close Project"};
  platform::MenuItem mnuFile_Sep1{mnuFile, "-"};
  platform::MenuItem mnuFile_import{mnuFile, "&Import bitmap to be tiled"};
  platform::MenuItem mnuFile_Export{mnuFile, "&Export a tiled bitmap"};
  platform::MenuItem mnuFile_Sep2{mnuFile, "-"};
  platform::MenuItem mnuFile_Exit{mnuFile, "E&xit"};
  platform::MenuItem mnuAnimation{mnuMain, "&Animation"};
  platform::MenuItem mnuAnimation_Animate{mnuAnimation, "Animat&e"};
  platform::MenuItem mnuOptions{mnuMain, "&Options"};
  platform::MenuItem mnuOptions_Grid{mnuOptions, "&Grid"};
  platform::MenuItem mnuOptions_Overwrite{mnuOptions, "&Overwrite"};
  platform::MenuItem SelectExternalTileEditor1{mnuOptions, "Select External Tile Editor"};
  platform::MenuItem UseExternalEd{mnuOptions, ""};
  platform::MenuItem mnuTile{mnuMain, "&Tiles"};
  platform::MenuItem mnuTiles_Add{mnuTile, "Add an image to end of list"};
  platform::MenuItem mnuTiles_Delete{mnuTile, "Delete selected image from list"};
  platform::MenuItem mnuTiles_Replace{mnuTile, "Replace selected image in list"};
  platform::MenuItem mnuTiles_Insert{mnuTile, "Insert an image in list"};
  platform::MenuItem mnuTiles_Modify{mnuTile, "Modify selected tile"};
  platform::MenuItem mnuTiles_Save{mnuTile, "Save tile as bitmap"};
  platform::MenuItem Help1{mnuMain, "&Help"};
  platform::MenuItem Help2{Help1, "&Help"};
  platform::MenuItem About1{Help1, "&About"};
  platform::MenuItem N2{Help1, "-"};
  platform::MenuItem emailHalvorn1{Help1, "e-mail Halvorn"};
  platform::MenuItem HalvornontheWeb1{Help1, "Halvorn on the Web"};

  platform::PopupMenu imagepopup;
  platform::MenuItem mnuAdd{imagepopup, "Add an image to end of list"};
  platform::MenuItem mnuDelete{imagepopup, "Delete selected image from list"};
  platform::MenuItem mnuReplace{imagepopup, "Replace selected image in list"};
  platform::MenuItem mnuInsert{imagepopup, "Insert an image in list"};
  platform::MenuItem mnuModify{imagepopup, "Modify selected tile"};
  platform::MenuItem mnuSave{imagepopup, "Save tile as bitmap"};

  platform::PopupMenu popMain;
  platform::MenuItem popMain_Cut{popMain, "Cut"};
  platform::MenuItem popMain_Copy{popMain, "Copy"};
  platform::MenuItem popMain_Paste{popMain, "Paste"};
  platform::MenuItem popMain_Blank{popMain, "Delete"};

  platform::ToolBar ToolBar1{*this};
  platform::ToolButton tlbExit{ToolBar1, "tlb_exit"};
  platform::ToolButton ToolButton16{ToolBar1, 66};
  platform::ToolButton tlbNew{ToolBar1, "tlb_new"};
  platform::ToolButton tlbOpen{ToolBar1, "tlb_open"};
  platform::ToolButton tlbSave{ToolBar1, "tlb_save"};
  platform::ToolButton tlbSaveAs{ToolBar1, "tlb_saveas"};
  platform::ToolButton tlbClose{ToolBar1, "tlb_close"};
  platform::ToolButton ToolButton6{ToolBar1, 68};
  platform::ToolButton tlbImport{ToolBar1, "tlb_import"};
  platform::ToolButton ToolButton8{ToolBar1, 8};
  platform::ToolButton tlbExport{ToolBar1, "tlb_export"};
  platform::ToolButton ToolButton10{ToolBar1, 51};
  platform::ToolButton tlbAnimate{ToolBar1, "tlb_animate"};
  platform::ToolButton ToolButton14{ToolBar1, 60};
  platform::ToolButton tlbGrid{ToolBar1, "tlb_grid"};
  platform::ToolButton ToolButton12{ToolBar1, 96};
  platform::ToolButton tlbHelp{ToolBar1, "tlb_help"};

  platform::Label lblWorkSpace{*this, "Work Space"};
  platform::Label lblImageList{*this, "Available Tiles List"};
  platform::StringGrid grdImage{*this};
  platform::StringGrid grdImageList{*this};
  platform::Panel panAnimate{*this};
  platform::Label Label1{panAnimate, "Animation"};
  platform::Image imgFrame{panAnimate};
  platform::Label lblRecording{panAnimate, "Recording"};
  platform::SpeedButton aniRewind{panAnimate, "ani_rewind"};
  platform::SpeedButton aniBack{panAnimate, "ani_back"};
  platform::SpeedButton aniPlay{panAnimate, "ani_play"};
  platform::SpeedButton aniStep{panAnimate, "ani_step"};
  platform::SpeedButton aniForward{panAnimate, "ani_forward"};
  platform::SpeedButton aniErase{panAnimate, "ani_erase"};
  platform::SpeedButton aniEraseFrame{panAnimate, "ani_eraseframe"};
  platform::SpeedButton aniStop{panAnimate, "ani_stop"};
  platform::SpeedButton aniLoop{panAnimate, "ani_loop"};
  platform::SpeedButton aniRecord{panAnimate, "ani_record"};
  platform::SpeedButton aniSpeed{panAnimate, "ani_speed"};
  platform::SpeedButton aniClose{panAnimate, "ani_close"};
  platform::ScrollBar hsbSlider{panAnimate};
  platform::Label lblFramesLoaded{panAnimate, "Frames Loaded: 0"};
  platform::Label lblFrameCounter{panAnimate, "Frame Counter: 0"};
  platform::Timer tmrFrame;
  platform::Panel Panel1{*this};
  components::TKURL2 web{Panel1};
  components::TKURL2 email{Panel1};
  components::THalvornAboutBox AboutBox;
  platform::StatusBar StatusBar{*this, 24};

  platform::FileDialog SelectEd{platform::FileDialogKind::Open};
  platform::FileDialog cdlOpenPict{platform::FileDialogKind::Open};
  platform::FileDialog cdlOpenFile{platform::FileDialogKind::Open};
  platform::FileDialog cdlSaveFile{platform::FileDialogKind::Save};
  platform::FileDialog cdlSavePict{platform::FileDialogKind::Save};
  platform::FileDialog cdlOpenExe{platform::FileDialogKind::Open};
  LineBuffer Memo1;

  // The import-parameters dialog, when the caller supplies one; otherwise the window builds its own at the
  // first import, keeping the dialog's controls out of start-up.
  TfrmImport* frmImport = nullptr;

  // Activation and close.
  void FormCreate();
  void FormClose(platform::CloseAction& action);

  // Commands.
  void mnuFile_NewClick();
  void mnuFile_ExitClick();
  void mnuOptions_GridClick();
  void mnuOptions_OverwriteClick();
  void SelectExternalTileEditor1Click();
  void UseExternalEdClick();
  void mnuHelp_AboutClick();
  void emailHalvorn1Click();
  void HalvornontheWeb1Click();

  // Tile list.
  void grdImageListDrawCell(int col, int row, const platform::Rect& rect);
  void grdImageListSelectCell(int col, int row);
  void grdImageListMouseDown(platform::MouseButton button, int x, int y);
  void mnuAddClick();
  void mnuDeleteClick();
  void mnuReplaceClick();
  void mnuInsertClick();

  // Work space.
  void grdImageDrawCell(int col, int row, const platform::Rect& rect);
  void grdImageSelectCell(int col, int row);
  void grdImageMouseDown(platform::MouseButton button, int x, int y);
  void popMain_CutClick();
  void popMain_CopyClick();
  void popMain_PasteClick();
  void popMain_BlankClick();

  // Import.
  void mnuFile_importClick();

  // Animation.
  void mnuAnimation_AnimateClick();
  void aniPlayClick();
  void tmrFrameTimer();
  void aniStopClick();
  void aniRewindClick();
  void aniForwardClick();
  void aniBackClick();
  void aniStepClick();
  void hsbSliderChange();
  void aniLoopClick();
  void aniRecordClick();
  void aniEraseFrameClick();
  void aniEraseClick();
  void aniSpeedClick();
  void aniCloseClick();
  // Records the tile of work-space cell (col, row) as the next frame.
  void recordFrame(int col, int row);

  // Project files.
  void mnuFile_OpenClick();
  void mnuFile_SaveClick();
  void mnuFile_SaveAsClick();
  void mnuFile_CloseClick();
  void LoadProject();
  std::int32_t ReadProjectValue(int line) const;
  // The key values a save writes now.
  ProjectValues projectValues() const;
  // Says why a load would refuse what a save would write now, if it would.
  bool saveRefused();
  // Writes the project's files under the project name, all of them or none.
  void writeProject();

  // Export.
  void mnuFile_ExportClick();
  void mnuSaveClick();

  // Tile modification and the program launcher.
  void mnuModifyClick();
  void mnuHelp_HelpClick();
  // Starts "program" argument and waits for it to end or for the time limit (kInfinite: none); the
  // message is empty when it started and ended in time.
  std::string RunAndWait(const std::string& program, const std::string& argument, std::uint32_t timeLimitMs,
                         platform::ShowCommand show);
  // Where the temporary tile file goes: the temporary folder when it is writable, else a folder of the
  // user's own.
  std::string tileFileFolder() const;

  // Settings.
  void LoadSettings();
  void SaveSettings();

  void ClearWorkspace();

 private:
  void buildLayout();
  void bindHandlers();
  void setEmptyStateForStartup();
  void buildAnimationPanel();
  void bindAnimationHandlers();
  void bindFileHandlers();
  // The Open Project command; false when its dialog was cancelled.
  bool openProjectChosen();
  // The animation's empty state: no frames, blank view, stopped, record and loop off.
  void resetAnimation();
  // Shows frame i in the frame view; a frame that does not exist shows white.
  void showFrame(std::int32_t i);
  // Disables the timer, makes frame i current and shows it, as the moving commands do.
  void moveToFrame(std::int32_t i);
  void setFrameSizeToTiles();
  // The save dialog of Export and Save tile; false on Cancel.
  bool choosePictureFile();
  void setClearedPanels();
  void setGridLines(bool on);
  void updateUseExternalEdCaption();
  // The selected tile as an index of the tile list.
  std::int32_t selectedTile() const { return selectedTileRow * kListColumns + selectedTileCol; }
  // The dialog loop of Add, Replace and Insert: the accepted bitmap, or nothing on Cancel.
  std::optional<platform::Bitmap> bitmapIntake();
  void setTileSize(int width, int height);
  void showGridPanels();
  void renumberCells(std::string (*rule)(const std::string&, std::int32_t), std::int32_t k);
  // The cell under the click position; false outside every cell.
  bool clickedCell(int& col, int& row) const;
  // Last, so it goes before the controls and bitmaps it refers to.
  std::unique_ptr<TfrmImport> ownImport_;
};

using platform::EnsureTrailingBackslash;

// Caption of the menu item that switches the external editor on, for the editor at path.
std::string useExternalEdCaption(const std::string& editorPath);

}  // namespace tlwk
