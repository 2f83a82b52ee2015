#include "workspace/Tlwkmain.h"

#include "platform/controls/Application.h"
#include "platform/core/Files.h"
#include "platform/core/Paths.h"
#include "workspace/Tlwkimpo.h"

namespace tlwk {

using platform::MsgButtons;
using platform::MsgType;

namespace {
const platform::Font kHeadingFont{"Arial", 16, true};
}  // namespace

TfrmMain::TfrmMain() {
  buildLayout();
  bindHandlers();
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::buildLayout() {
  setCaption("Tessaly");
  setFixedBorder();
  setClientSize(800, 554);
  centerOnScreen();

  ToolBar1.setBounds(0, 0, 800, 42);
  ToolBar1.setButtonSize(39, 38);
  const struct {
    platform::ToolButton& button;
    const char* hint;
  } hints[] = {
      {tlbExit, "Quit Vantrel Builder"}, {tlbNew, "Clear Workspace"},   {tlbOpen, "Open File"},
      {tlbSave, "Save Current Work"},    {tlbSaveAs, "Save File As.."}, {tlbClose, "Close Current File"},
      {tlbImport, "Import File"},        {tlbExport, "Export File"},    {tlbAnimate, "Show Animation Control"},
      {tlbGrid, "Show/Hide Grid Lines"}, {tlbHelp, "Tessaly Help"}};
  for (const auto& h : hints) h.button.setHint(h.hint);
  tlbGrid.setDown(true);

  lblWorkSpace.setFont(kHeadingFont);
  lblWorkSpace.setBounds(192, 40, lblWorkSpace.width(), lblWorkSpace.height());
  lblWorkSpace.hide();
  lblImageList.setFont(kHeadingFont);
  lblImageList.setBounds(536, 40, lblImageList.width(), lblImageList.height());

  grdImage.setBounds(8, 64, 481, 473);
  grdImage.setColCount(10);
  grdImage.setRowCount(10);
  grdImage.setDefaultColWidth(32);
  grdImage.setDefaultRowHeight(32);
  grdImage.hide();

  grdImageList.setBounds(502, 64, 202, 53);
  grdImageList.setRowCount(1);
  grdImageList.setColCount(kListColumns);
  grdImageList.setDefaultColWidth(32);
  grdImageList.setDefaultRowHeight(32);
  grdImageList.setColor(platform::clBlack);
  grdImageList.setScrollBars(true, false);
  grdImageList.setHint("right click here, to add, delete or clear tiles");

  panAnimate.setBounds(504, 248, 169, 281);
  panAnimate.hide();
  Panel1.setBounds(0, 0, 0, 0);
  Panel1.hide();
  web.setHint("Visit our Website");
  web.setURLorEMAIL("https://www.halvorn.example/");
  email.setHint("Contact Halvorn");
  email.setURLorEMAIL("support@halvorn.example");
  email.Choose = components::LinkType::ltEMAIL;
  AboutBox.Caption = "Tessaly";
  AboutBox.TextLeft = 20;
  AboutBox.TextCentered = true;
  AboutBox.Height = 150;
  AboutBox.Width = 160;
  AboutBox.DefaultIcon = false;
  AboutBox.Author = "Tessaly team at Halvorn";
  AboutBox.Copyright = "Copyright (c) 2026 Halvorn";

  buildAnimationPanel();

  StatusBar.addPanel(100);
  StatusBar.addPanel(110);
  StatusBar.addPanel(300);
  StatusBar.setPanelText(0, "Grid Size: 0x0");
  StatusBar.setPanelText(1, "Num of images: 0");
  StatusBar.setPanelText(2, "Project: untitled.prj");

  mnuOptions_Grid.setChecked(true);
  cdlOpenPict.options().title = "Open Bitmap File";
  cdlOpenPict.options().filter = "Bitmaps (*.bmp)|*.bmp";
  cdlOpenPict.options().defaultExt = "bmp";
  cdlOpenPict.options().fileMustExist = true;
  cdlOpenPict.options().pathMustExist = true;
  SelectEd.options().filter = "Editor Executables [*.exe]|*.exe|Any File|*.*";
  SelectEd.options().defaultExt = "exe";
  cdlOpenExe.options().title = "Find tile modifier";
  cdlOpenExe.options().filter = "executables (*.exe)|*.exe";
  cdlOpenExe.options().defaultExt = "exe";
  cdlOpenExe.options().initialDir = "/";
  cdlOpenExe.options().fileMustExist = true;
  cdlOpenExe.options().pathMustExist = true;
}

void TfrmMain::bindHandlers() {
  OnActivate = [this] { FormCreate(); };
  OnClose = [this](platform::CloseAction& a) { FormClose(a); };

  // A handler that serves several items and buttons is bound to all of them in one statement.
  mnuFile_New.OnClick = tlbNew.OnClick = [this] { mnuFile_NewClick(); };
  mnuFile_Exit.OnClick = tlbExit.OnClick = [this] { mnuFile_ExitClick(); };
  mnuOptions_Grid.OnClick = tlbGrid.OnClick = [this] { mnuOptions_GridClick(); };
  mnuOptions_Overwrite.OnClick = [this] { mnuOptions_OverwriteClick(); };
  SelectExternalTileEditor1.OnClick = [this] { SelectExternalTileEditor1Click(); };
  UseExternalEd.OnClick = [this] { UseExternalEdClick(); };
  mnuFile_import.OnClick = tlbImport.OnClick = [this] { mnuFile_importClick(); };
  mnuAdd.OnClick = mnuTiles_Add.OnClick = [this] { mnuAddClick(); };
  mnuDelete.OnClick = mnuTiles_Delete.OnClick = [this] { mnuDeleteClick(); };
  mnuReplace.OnClick = mnuTiles_Replace.OnClick = [this] { mnuReplaceClick(); };
  mnuInsert.OnClick = mnuTiles_Insert.OnClick = [this] { mnuInsertClick(); };
  popMain_Cut.OnClick = [this] { popMain_CutClick(); };
  popMain_Copy.OnClick = [this] { popMain_CopyClick(); };
  popMain_Paste.OnClick = [this] { popMain_PasteClick(); };
  popMain_Blank.OnClick = [this] { popMain_BlankClick(); };
  mnuTiles_Modify.OnClick = mnuModify.OnClick = [this] { mnuModifyClick(); };
  Help2.OnClick = tlbHelp.OnClick = [this] { mnuHelp_HelpClick(); };
  About1.OnClick = [this] { mnuHelp_AboutClick(); };
  emailHalvorn1.OnClick = [this] { emailHalvorn1Click(); };
  HalvornontheWeb1.OnClick = [this] { HalvornontheWeb1Click(); };

  grdImageList.OnDrawCell = [this](int c, int r, const platform::Rect& rect) {
    grdImageListDrawCell(c, r, rect);
  };
  grdImageList.OnSelectCell = [this](int c, int r, bool&) { grdImageListSelectCell(c, r); };
  grdImageList.OnMouseDown = [this](platform::MouseButton b, platform::ShiftState, int x, int y) {
    grdImageListMouseDown(b, x, y);
  };
  grdImage.OnDrawCell = [this](int c, int r, const platform::Rect& rect) { grdImageDrawCell(c, r, rect); };
  grdImage.OnSelectCell = [this](int c, int r, bool&) { grdImageSelectCell(c, r); };
  grdImage.OnMouseDown = [this](platform::MouseButton b, platform::ShiftState, int x, int y) {
    grdImageMouseDown(b, x, y);
  };

  bindAnimationHandlers();
  bindFileHandlers();
}

void TfrmMain::FormCreate() {
  if (startupDone) return;
  startupDone = true;
  platform::Application& app = platform::Application::instance();
  setCaption(app.title() + " Version " + AboutBox.ReadFileVersion() + "  by Halvorn");
  LoadSettings();
  AboutBox.Filename = app.exeName();
  programFolder = platform::extractFilePath(app.exeName());
  editorFolder = programFolder;
  tempFolder = programFolder;
  if (app.screenWidth() <= 800) setMaximized(true);
  SaveSettings();

  if (projectToReopen == "nostartup") {
    setEmptyStateForStartup();
  } else if (platform::fileExists(projectToReopen)) {
    cdlOpenFile.setFileName(projectToReopen);
    LoadProject();
  } else if (platform::messageDlg(
                 "The last project file in use could not be found, do you wish to locate this file yourself?",
                 MsgType::Error, MsgButtons::YesNo) == platform::mrYes) {
    if (!openProjectChosen()) setEmptyStateForStartup();
  } else {
    setEmptyStateForStartup();
  }
}

void TfrmMain::setClearedPanels() {
  StatusBar.setPanelText(0, "Grid Size: 0x0");
  StatusBar.setPanelText(1, "Num of images: 0");
  StatusBar.setPanelText(2, "Project: No file name");
}

void TfrmMain::setGridLines(bool on) {
  mnuOptions_Grid.setChecked(on);
  grdImage.setGridLineWidth(on ? 1 : 0);
  tlbGrid.setDown(on);
}

// The start-up's empty state is the cleared workspace, with the animation panel hidden at its first speed.
void TfrmMain::setEmptyStateForStartup() {
  ClearWorkspace();
  panAnimate.hide();
  framesPerSecond = 5;
}

void TfrmMain::ClearWorkspace() {
  imagelist1.clear();
  grdImageList.clearCells();
  grdImage.clearCells();
  grdImage.hide();
  lblWorkSpace.hide();
  projectName.clear();
  setClearedPanels();
  resetAnimation();
  cellClipboard = -1;
  mnuOptions_Overwrite.setChecked(false);
  setGridLines(true);
}

void TfrmMain::mnuFile_NewClick() { ClearWorkspace(); }

void TfrmMain::mnuOptions_GridClick() {
  setGridLines(!mnuOptions_Grid.checked());
  grdImage.repaint();
}

void TfrmMain::mnuOptions_OverwriteClick() { mnuOptions_Overwrite.setChecked(!mnuOptions_Overwrite.checked()); }

void TfrmMain::mnuFile_ExitClick() { close(); }

void TfrmMain::mnuHelp_AboutClick() { AboutBox.Execute(); }

void TfrmMain::emailHalvorn1Click() { email.OpenLink(); }

void TfrmMain::HalvornontheWeb1Click() { web.OpenLink(); }

void TfrmMain::FormClose(platform::CloseAction&) {
  projectToReopen = projectName.empty() ? "nostartup" : projectName;
  SaveSettings();
  AniImageList.clear();
  imagelist1.clear();
}

}  // namespace tlwk
