#pragma once

#include <array>
#include <string>
#include <vector>

#include "editor/Rotation.h"
#include "editor/ToolRules.h"
#include "editor/Tracers.h"
#include "editor/UndoHistory.h"
#include "platform/controls/Form.h"
#include "platform/controls/Grid.h"
#include "platform/controls/Menu.h"
#include "platform/controls/StatusBar.h"
#include "platform/controls/StringGrid.h"
#include "platform/controls/Widgets.h"
#include "platform/core/Bitmap.h"
#include "platform/core/Paths.h"
#include "platform/dialogs/ColorDialog.h"
#include "platform/dialogs/FileDialog.h"

namespace pxwk {

// The editor's one window: the pixel grid, the palette grid, the actual-size image and every command. The
// drawing tools keep their state in it and draw on it as their host.
class TfrmMain : public platform::Form, public ToolHost {
 public:
  // The program's command-line arguments decide the mode: exactly one names the file to edit.
  explicit TfrmMain(std::vector<std::string> arguments);
  ~TfrmMain() override;

  // State of the editor unit.
  platform::Bitmap document;  // the document bitmap: loaded, rotated and written to disk
  std::string fileName;
  std::string programFolder;  // ends in "/"
  std::array<platform::Color, 256> paletteTable{};
  std::vector<platform::Color> editorPalette;  // the 3-3-2 palette given to every loaded bitmap
  bool tileMode = false;
  bool startupDone = false;
  int fCol = 0, fRow = 0;  // the F mark
  int bCol = 0, bRow = 0;  // the B mark

  // The floating paste: the clipboard bitmap and what the grid showed at Paste; empty when none.
  platform::Bitmap pasteImage;
  platform::Bitmap gridSnapshot;

  // Components.
  platform::MainMenu MainMenu1{*this};
  platform::MenuItem mnuFile{MainMenu1, "&File"};
  platform::MenuItem NewFile{mnuFile, "&New"};
  platform::MenuItem OpenFile{mnuFile, "&Open"};
  platform::MenuItem SaveFile{mnuFile, "&Save"};
  platform::MenuItem SaveFileAs{mnuFile, "Save &As"};
  platform::MenuItem Divider{mnuFile, "-"};
  platform::MenuItem mnuFile_Exit{mnuFile, "&Exit"};
  platform::MenuItem mnuEdit{MainMenu1, "&Edit"};
  platform::MenuItem mnuEdit_Undo{mnuEdit, "&Undo"};
  platform::MenuItem mnuEdit_Sep1{mnuEdit, "-"};
  platform::MenuItem mnuEdit_Cut{mnuEdit, "Cu&t"};
  platform::MenuItem mnuEdit_Copy{mnuEdit, "&Copy"};
  platform::MenuItem mnuEdit_Paste{mnuEdit, "&Paste"};
  platform::MenuItem mnuBitmap{MainMenu1, "&Bitmap"};
  platform::MenuItem mnuBitmap_Rotate{mnuBitmap, "&Rotate"};
  platform::MenuItem mnuBitmap_Rotate_Right90{mnuBitmap_Rotate, "Right 90°"};
  platform::MenuItem mnuBitmap_Rotate180{mnuBitmap_Rotate, "Right 180°"};
  platform::MenuItem mnuBitmap_Rotate_Right270{mnuBitmap_Rotate, "Right 270°"};
  platform::MenuItem mnuBitmap_Zoom{mnuBitmap, "Zoom"};
  platform::MenuItem mnuBitmap_Zoom_X1{mnuBitmap_Zoom, "x1"};
  platform::MenuItem mnuBitmap_Zoom_X2{mnuBitmap_Zoom, "x2"};
  platform::MenuItem mnuBitmap_Zoom_X4{mnuBitmap_Zoom, "x4"};
  platform::MenuItem mnuBitmap_Zoom_X8{mnuBitmap_Zoom, "x8"};
  platform::MenuItem mnuHelp{MainMenu1, "&Help"};
  platform::MenuItem mnuHelp_Help{mnuHelp, "&Help"};

  platform::DrawGrid grdIcon{*this};
  platform::Panel panTools{*this};
  platform::SpeedButton cmdDraw{panTools, "cmd_draw"};
  platform::SpeedButton cmdLine{panTools, "cmd_line"};
  platform::SpeedButton cmdPaint{panTools, "cmd_paint"};
  platform::SpeedButton cmdPoint{panTools, "cmd_point"};
  platform::SpeedButton cmdCircle{panTools, "cmd_circle"};
  platform::SpeedButton cmdBox{panTools, "cmd_box"};
  platform::SpeedButton cmdCircleFilled{panTools, "cmd_circlefilled"};
  platform::SpeedButton cmdBoxFilled{panTools, "cmd_boxfilled"};
  platform::Panel panImage{*this};
  platform::Label lblActual{panImage, "Actual icon"};
  platform::Image imgActual{panImage};
  platform::Button cmdRedraw{*this, "Refresh Grid"};
  platform::StringGrid grdColor{*this};
  platform::StatusBar stbMain{*this, 19};
  UndoHistory ImgListUndo;

  platform::FileDialog cdlOpen{platform::FileDialogKind::Open};
  platform::FileDialog cdlSave{platform::FileDialogKind::Save};
  platform::ColorDialog cdlColor;

  // The working image: the copy of the document that every tool draws on, shown 1:1 by imgActual.
  const platform::Bitmap& workingImage() const override { return imgActual.picture(); }
  // The working image to draw on, all of it or only area changing: imgActual shows the change.
  platform::Bitmap& editWorkingImage() override { return imgActual.editPicture(); }
  platform::Bitmap& editWorkingImage(const platform::Rect& area) override {
    return imgActual.editPicture(area);
  }

  // Activation, set-up and close.
  void FormActivate();
  void SetupEditor();
  void FormClose(platform::CloseAction& action);

  // File and Help commands.
  void mnuFile_ExitClick();
  void NewFileClick();
  void OpenFileClick();
  void SaveFileClick();
  void SaveFileAsClick();
  void mnuHelp_HelpClick();

  // Pixel grid and zoom.
  void mnuBitmap_Zoom_X1Click();
  void mnuBitmap_Zoom_X2Click();
  void mnuBitmap_Zoom_X4Click();
  void mnuBitmap_Zoom_X8Click();
  void RedrawGrid();
  void grdIconDrawCell(int col, int row, const platform::Rect& rect);
  void cmdRedrawClick();

  // Palette grid.
  void ResetPaletteGrid(int count);
  void grdColorDrawCell(int col, int row, const platform::Rect& rect);
  void grdColorMouseUp(platform::MouseButton button, platform::ShiftState shift, int x, int y);

  // Drawing tools on the pixel grid, and Undo. The grid's handlers pass each event to the tool that is down.
  const DrawingTool& currentTool() const;
  void grdIconMouseDown(platform::MouseButton button, platform::ShiftState shift, int x, int y);
  void grdIconMouseMove(platform::ShiftState shift, int x, int y);
  void grdIconMouseUp(platform::MouseButton button, platform::ShiftState shift, int x, int y);
  void mnuEdit_UndoClick();

  // Selection clipboard.
  void mnuEditClick();
  void mnuEdit_CutClick();
  void mnuEdit_CopyClick();
  void mnuEdit_PasteClick();
  // The part of the pixel grid's client area that holds cells, counted from its first shown column and row,
  // also past where the window cuts the grid off.
  int shownGridWidth() const;
  int shownGridHeight() const;

  // Rotation of the document bitmap.
  void mnuBitmap_Rotate_Right90Click();
  void mnuBitmap_Rotate180Click();
  void mnuBitmap_Rotate_Right270Click();

 private:
  void buildLayout();
  void buildTools();
  // What the tools draw with.
  void PushUndo() override;
  void imageChanged() override;
  void repaintGrid() override;
  void paintCell(GridCoord cell, platform::Color colour) override;
  void fillCell(GridCoord cell, platform::Color colour) override;
  void showGrid() override;
  // The floating paste of the clipboard commands.
  void movePaste(int x, int y) override;
  void commitPaste() override;
  // Copy's first steps, shared with Cut: the snapshot, the emptied clipboard, the repaint and the capture.
  platform::Bitmap captureSelection();
  void rotate(Turn turn);
  void bindHandlers();
  // A bitmap file with the editor palette given.
  platform::Bitmap loadDocument(const std::string& path) const;
  // Draws the working image onto the document and writes the document to path.
  void saveDocument(const std::string& path);
  void setZoom(platform::MenuItem& item, int cellSize);
  // Makes next the document under its file name and sets the view up for it; on failure both stay.
  void replaceDocument(platform::Bitmap next, std::string name);
  void sizeGrid();

  std::vector<std::string> arguments_;
  // The document came from the command-line file: only then does the close write it back.
  bool writeBack_ = false;
};

using platform::EnsureTrailingBackslash;

}  // namespace pxwk
