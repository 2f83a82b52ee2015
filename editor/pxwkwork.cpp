#include "editor/pxwkwork.h"

#include "editor/EditorRules.h"
#include "platform/controls/Application.h"
#include "platform/core/BmpFile.h"
#include "platform/core/Paths.h"
#include "platform/core/Process.h"
#include "platform/qtbase/Clipboard.h"
#include "platform/qtbase/Resources.h"
#include "platform/qtbase/Services.h"

namespace pxwk {

TfrmMain::TfrmMain(std::vector<std::string> arguments) : arguments_(std::move(arguments)) {
  buildLayout();
  bindHandlers();
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::buildLayout() {
  setCaption("Pixandra");
  setFixedBorder();
  setClientSize(800, 560);
  centerOnScreen();
  setMaximized(true);

  grdIcon.setBounds(8, 8, 504, 504);
  grdIcon.setScrollBars(false, false);
  // The tools draw on the cell under the pointer, where the user saw it; only the scroll bars scroll.
  grdIcon.setMouseScrollsIntoView(false);
  grdIcon.setColCount(100);
  grdIcon.setRowCount(100);
  grdIcon.setDefaultColWidth(kZoomCellSizes[0]);
  grdIcon.setDefaultRowHeight(kZoomCellSizes[0]);

  panTools.setBounds(544, 8, 121, 201);
  buildTools();
  panImage.setBounds(544, 232, 121, 129);
  lblActual.setFont(platform::Font{"Arial", 16, true});
  lblActual.setAutoSize(false);
  lblActual.setAlignment(platform::TextAlign::Center);
  lblActual.setBounds(1, 1, 119, 19);
  imgActual.setBounds(13, 21, 100, 100);
  imgActual.setAutoSize(true);
  cmdRedraw.setBounds(544, 400, 121, 25);

  grdColor.setBounds(672, 8, 106, 419);
  grdColor.setFlat(true);
  grdColor.setScrollBars(false, false);
  grdColor.setColCount(kPaletteColumns);
  grdColor.setRowCount(kPaletteRows);
  grdColor.setDefaultColWidth(12);
  grdColor.setDefaultRowHeight(12);
  grdColor.setFont(platform::Font{"Small Fonts", 7});

  stbMain.addPanel(60);
  stbMain.addPanel(120);
  stbMain.addPanel(610);
  stbMain.addPanel(50, false);

  for (platform::MenuItem* item : {&NewFile, &OpenFile, &SaveFile, &SaveFileAs, &Divider})
    item->setVisible(false);
  mnuEdit_Undo.setEnabled(false);
  mnuBitmap_Zoom_X1.setChecked(true);

  cdlOpen.options().title = "Open bitmap file";
  cdlOpen.options().filter = "Bitmaps (*.bmp)|*.bmp";
  cdlOpen.options().defaultExt = "bmp";
  cdlOpen.options().fileMustExist = true;
  cdlOpen.options().pathMustExist = true;
  cdlOpen.options().preview = true;
  cdlSave.options().title = "Save Bitmap File";
  cdlSave.options().filter = "Bitmaps (*.bmp)|*.bmp";
  cdlSave.options().defaultExt = "bmp";
  cdlSave.options().pathMustExist = true;
}

void TfrmMain::bindHandlers() {
  OnActivate = [this] { FormActivate(); };
  OnClose = [this](platform::CloseAction& a) { FormClose(a); };

  NewFile.OnClick = [this] { NewFileClick(); };
  OpenFile.OnClick = [this] { OpenFileClick(); };
  SaveFile.OnClick = [this] { SaveFileClick(); };
  SaveFileAs.OnClick = [this] { SaveFileAsClick(); };
  mnuFile_Exit.OnClick = [this] { mnuFile_ExitClick(); };
  mnuBitmap_Zoom_X1.OnClick = [this] { mnuBitmap_Zoom_X1Click(); };
  mnuBitmap_Zoom_X2.OnClick = [this] { mnuBitmap_Zoom_X2Click(); };
  mnuBitmap_Zoom_X4.OnClick = [this] { mnuBitmap_Zoom_X4Click(); };
  mnuBitmap_Zoom_X8.OnClick = [this] { mnuBitmap_Zoom_X8Click(); };
  mnuEdit.OnClick = [this] { mnuEditClick(); };
  mnuEdit_Cut.OnClick = [this] { mnuEdit_CutClick(); };
  mnuEdit_Copy.OnClick = [this] { mnuEdit_CopyClick(); };
  mnuEdit_Paste.OnClick = [this] { mnuEdit_PasteClick(); };
  mnuBitmap_Rotate_Right90.OnClick = [this] { mnuBitmap_Rotate_Right90Click(); };
  mnuBitmap_Rotate180.OnClick = [this] { mnuBitmap_Rotate180Click(); };
  mnuBitmap_Rotate_Right270.OnClick = [this] { mnuBitmap_Rotate_Right270Click(); };
  mnuHelp_Help.OnClick = [this] { mnuHelp_HelpClick(); };
  cmdRedraw.OnClick = [this] { cmdRedrawClick(); };

  grdIcon.OnDrawCell = [this](int c, int r, const platform::Rect& rect) { grdIconDrawCell(c, r, rect); };
  grdIcon.OnMouseDown = [this](platform::MouseButton b, platform::ShiftState s, int x, int y) {
    grdIconMouseDown(b, s, x, y);
  };
  grdIcon.OnMouseMove = [this](platform::ShiftState s, int x, int y) { grdIconMouseMove(s, x, y); };
  grdIcon.OnMouseUp = [this](platform::MouseButton b, platform::ShiftState s, int x, int y) {
    grdIconMouseUp(b, s, x, y);
  };
  mnuEdit_Undo.OnClick = [this] { mnuEdit_UndoClick(); };
  grdColor.OnDrawCell = [this](int c, int r, const platform::Rect& rect) { grdColorDrawCell(c, r, rect); };
  grdColor.OnMouseUp = [this](platform::MouseButton b, platform::ShiftState s, int x, int y) {
    grdColorMouseUp(b, s, x, y);
  };
}

void TfrmMain::FormActivate() {
  if (startupDone) return;
  startupDone = true;
  programFolder =
      EnsureTrailingBackslash(platform::extractFilePath(platform::Application::instance().exeName()));
  grdIcon.setScrollBars(false, false);
  selectionActive = false;
  floatingPasteActive = false;
  platform::emptyClipboard();
  document = platform::loadResourceBitmap("256color");
  editorPalette = document.colorTable();
  for (std::size_t i = 0; i < paletteTable.size(); ++i)
    paletteTable[i] = i < editorPalette.size() ? editorPalette[i] : platform::clBlack;

  tileMode = tileModeFor(arguments_);
  if (tileMode) {
    fileName = arguments_[0];
    try {
      document = loadDocument(fileName);
    } catch (...) {
      // The file was never loaded, so closing must leave it as it is; the view shows the start image.
      fileName.clear();
      SetupEditor();
      throw;
    }
    writeBack_ = true;
    SaveFile.setEnabled(true);
  } else {
    for (platform::MenuItem* item : {&NewFile, &OpenFile, &SaveFile, &SaveFileAs, &Divider})
      item->setVisible(true);
    SaveFile.setEnabled(false);
  }
  SetupEditor();
}

void TfrmMain::SetupEditor() {
  // The steps that allocate come first: a failure there leaves the former set-up whole. The grid's
  // surface that follows is bounded by the window, whatever the document.
  platform::Bitmap working = document;
  pointBuffer.fitImage(document.width(), document.height());
  editWorkingImage() = std::move(working);
  imgActual.setBounds(imgActual.left(), imgActual.top(), document.width(), document.height());
  imgActual.repaint();
  ImgListUndo.reset(document.width(), document.height());
  mnuEdit_Undo.setEnabled(false);
  grdIcon.setCounts(document.width(), document.height());
  sizeGrid();
  stbMain.setPanelText(
      1, "Bitmap Size= " + std::to_string(document.width()) + " x " + std::to_string(document.height()));
  stbMain.setPanelText(2, "Filename: " + fileName);
  ResetPaletteGrid(kPaletteEntries);
  RedrawGrid();
  mnuBitmap_Rotate.setEnabled(document.width() == document.height());
}

void TfrmMain::replaceDocument(platform::Bitmap next, std::string name) {
  // A set-up that fails changes nothing of the view, so the former document and name go back with it.
  platform::Bitmap former = std::move(document);
  std::string formerName = std::move(fileName);
  document = std::move(next);
  fileName = std::move(name);
  try {
    SetupEditor();
  } catch (...) {
    document = std::move(former);
    fileName = std::move(formerName);
    throw;
  }
}

void TfrmMain::mnuFile_ExitClick() { close(); }

void TfrmMain::FormClose(platform::CloseAction&) {
  if (!tileMode || !writeBack_) return;
  try {
    saveDocument(fileName);
  } catch (...) {
    platform::showMessage("Error: Unable to Save File");
  }
}

void TfrmMain::mnuHelp_HelpClick() {
  try {
    platform::services().startProgram(platform::helpViewerPath() + " " + programFolder + "pxwkhelp.chm");
  } catch (const platform::ProcessError&) {
    // A missing viewer is not reported.
  }
}

}  // namespace pxwk
