#include <exception>

#include "platform/core/BmpFile.h"
#include "platform/core/Files.h"
#include "workspace/Tlwkmain.h"

namespace tlwk {

using platform::MsgButtons;
using platform::MsgType;

namespace {
// Where a save keeps the record that carries it across a kill or a crash.
std::string journalFolder() { return platform::userCachePath("Halvorn", "tlwkproj"); }

// Completes what a save of the project that was cut short left to do, before its files are read or
// written again.
void finishInterruptedSave(const std::string& projectFile) {
  std::string journal;
  try {
    journal = journalFolder();
  } catch (const platform::FileError&) {
    return;  // without a cache folder no save kept a record
  }
  const std::string base = projectBaseName(projectFile);
  platform::finishInterruptedReplacements({base + "bmp", base + "vid", projectFile}, journal);
}

// The work space's cells as the project text takes them; the grid gives each text by value, so the
// reader holds the one it gave last.
CellText cellsOf(const platform::StringGrid& grid) {
  return [&grid, cell = std::string()](int c, int r) mutable -> const std::string& {
    return cell = grid.cell(c, r);
  };
}
}  // namespace

void TfrmMain::bindFileHandlers() {
  auto& open = cdlOpenFile.options();
  open.title = "Open a project file";
  open.filter = "Project File (*.prj)|*.prj";
  open.defaultExt = "prj";
  open.fileMustExist = open.pathMustExist = true;
  auto& save = cdlSaveFile.options();
  save.title = "Save a project file";
  save.filter = "Project File (*.prj)|*.prj";
  save.defaultExt = "prj";
  save.pathMustExist = true;
  auto& pict = cdlSavePict.options();
  pict.title = "Save Bitmap File";
  pict.filter = "Bitmaps (*.bmp)|*.bmp";
  pict.defaultExt = "bmp";
  pict.pathMustExist = true;
  pict.preview = true;

  mnuFile_Open.OnClick = tlbOpen.OnClick = [this] { mnuFile_OpenClick(); };
  mnuFile_Save.OnClick = tlbSave.OnClick = [this] { mnuFile_SaveClick(); };
  mnuFile_SaveAs.OnClick = tlbSaveAs.OnClick = [this] { mnuFile_SaveAsClick(); };
  mnuFile_Close.OnClick = tlbClose.OnClick = [this] { mnuFile_CloseClick(); };
  mnuFile_Export.OnClick = tlbExport.OnClick = [this] { mnuFile_ExportClick(); };
  mnuTiles_Save.OnClick = mnuSave.OnClick = [this] { mnuSaveClick(); };
}

ProjectValues TfrmMain::projectValues() const {
  return ProjectValues{imagelist1.count(),  imagelist1.width(), imagelist1.height(), grdImage.colCount(),
                       grdImage.rowCount(), framesPerSecond,    AniImageList.count()};
}

bool TfrmMain::saveRefused() {
  const ProjectValues v = projectValues();
  const auto why =
      saveTooLarge({v, AniImageList.width(), AniImageList.height(), projectTextBytes(v, cellsOf(grdImage))});
  if (why) platform::messageDlg(*why, MsgType::Information, MsgButtons::Ok);
  return why.has_value();
}

void TfrmMain::mnuFile_SaveClick() {
  if (imagelist1.count() == 0) {
    platform::messageDlg("There is nothing to save..", MsgType::Information, MsgButtons::Ok);
    return;
  }
  if (projectName.empty()) {
    mnuFile_SaveAsClick();
    return;
  }
  // What a load would refuse is refused before a byte is written.
  if (!saveRefused()) writeProject();
}

void TfrmMain::writeProject() {
  const std::string base = projectBaseName(projectName);
  // Every target is checked before a byte is written, and every file is written beside its target (or,
  // where that cannot be, held aside) before any target is replaced, so a save that fails leaves the
  // previous project whole; the renames then follow in this order: tiles, frames, text. The journal
  // finishes a save that a kill cuts short between the first target and the last.
  const bool frames = AniImageList.count() > 0;
  std::vector<std::string> targets{base + "bmp"};
  if (frames) targets.push_back(base + "vid");
  targets.push_back(projectName);
  finishInterruptedSave(projectName);
  platform::FileReplacement files(targets, journalFolder());
  // A frame strip is not written without frames, but what a killed save left beside it still goes.
  if (!frames) platform::removeSaveLeftovers(base + "vid");
  platform::writeBmpStrip(files.output(0), imagelist1);
  if (frames) platform::writeBmpStrip(files.output(1), AniImageList);
  platform::FileReplacement::Output& text = files.output(targets.size() - 1);
  writeProjectText(projectValues(), cellsOf(grdImage),
                   [&](const char* data, std::size_t size) { text.write(data, size); });
  files.commit();
  StatusBar.setPanelText(2, "Project: " + projectName);
}

void TfrmMain::mnuFile_SaveAsClick() {
  if (imagelist1.count() == 0) {
    platform::messageDlg("There is nothing to save..", MsgType::Information, MsgButtons::Ok);
    return;
  }
  // What a load would refuse is refused before a name is asked for.
  if (saveRefused()) return;
  std::string name;
  do {
    accepted = true;
    cdlSaveFile.setFileName(projectName);
    if (!cdlSaveFile.execute()) return;
    name = withProjectExtension(cdlSaveFile.fileName());
    const std::string base = projectBaseName(name);
    // Only No declines: a question closed without an answer accepts.
    if (platform::fileExists(name))
      accepted = platform::messageDlg("This file already exists, overwrite?", MsgType::Warning,
                                      MsgButtons::YesNo) != platform::mrNo;
    if (accepted && platform::fileExists(base + "bmp"))
      accepted = platform::messageDlg("A bitmap file already has this name..\r" + base + "bmp, overwrite?",
                                      MsgType::Warning, MsgButtons::YesNo) != platform::mrNo;
  } while (!accepted);
  projectName = name;
  writeProject();  // judged before the name was asked for
}

void TfrmMain::mnuFile_CloseClick() {
  if (imagelist1.count() == 0) {
    platform::messageDlg("There is nothing to close..", MsgType::Information, MsgButtons::Ok);
    return;
  }
  if (platform::messageDlg("Save any changes before closing file?", MsgType::Information, MsgButtons::YesNo) ==
      platform::mrYes) {
    // However the save goes, the workspace is cleared afterwards.
    std::exception_ptr failed;
    try {
      mnuFile_SaveClick();
    } catch (...) {
      failed = std::current_exception();
    }
    ClearWorkspace();
    if (failed) std::rethrow_exception(failed);
    return;
  }
  ClearWorkspace();
}

void TfrmMain::mnuFile_OpenClick() { openProjectChosen(); }

bool TfrmMain::openProjectChosen() {
  cdlOpenFile.setFileName("");
  if (!cdlOpenFile.execute()) return false;
  LoadProject();
  return true;
}

std::int32_t TfrmMain::ReadProjectValue(int line) const { return projectValue(Memo1, line); }

void TfrmMain::LoadProject() {
  const std::string file = cdlOpenFile.fileName();
  finishInterruptedSave(file);
  if (!readProjectText(file, Memo1)) {
    platform::messageDlg("This is not a valid Vantrel tile project file..", MsgType::Information,
                         MsgButtons::Ok);
    return;
  }
  const std::string base = projectBaseName(file);

  // Everything is read off to the side first: a load that cannot finish changes nothing, so a later Save
  // cannot write a half-loaded project over the previous one.
  LoadedProject loaded;
  try {
    loaded = readProject([this](int line) { return ReadProjectValue(line); }, base,
                         [&](const char* ext) { return platform::loadBmpSource(base + ext); });
  } catch (const ProjectRefused& e) {
    platform::messageDlg(e.what(), MsgType::Information, MsgButtons::Ok);
    return;
  }
  const ProjectValues& v = loaded.values;
  const std::int32_t w = v.imageWidth, h = v.imageHeight;

  grdImage.hide();
  lblWorkSpace.hide();
  imagelist1 = std::move(loaded.tiles);
  for (int i = 0; i < v.imageCount && i < grdImageList.colCount(); ++i) grdImageList.setCell(i, 0, "");

  if (v.videoFrames <= 0 && AniImageList.count() > 0) {
    // A project without frames has no animation: the frames of the work before it do not carry over.
    AniImageList.clear();
    lblFramesLoaded.setCaption("Frames Loaded: 0");
    hsbSlider.setMax(0);
  }
  currentFrame = v.videoFrames;
  if (loaded.frames) {
    AniImageList = std::move(*loaded.frames);
    imgFrame.setBounds(imgFrame.left(), imgFrame.top(), w, h);
    lblFramesLoaded.setCaption("Frames Loaded: " + std::to_string(AniImageList.count()));
    hsbSlider.setMax(AniImageList.count() - 1);
  }

  grdImageList.setDefaultColWidth(w);
  grdImageList.setDefaultRowHeight(h);
  grdImageList.repaint();
  grdImageList.setHeight(h + kListExtraHeight);
  grdImage.setColCount(std::max(1, v.columns));
  grdImage.setRowCount(std::max(1, v.rows));
  grdImage.setDefaultColWidth(w);
  grdImage.setDefaultRowHeight(h);
  framesPerSecond = v.framesPerSec;
  for (int r = 0, k = kFirstCellLine; r < grdImage.rowCount(); ++r)
    for (int c = 0; c < grdImage.colCount(); ++c, ++k) grdImage.setCell(c, r, Memo1.line(k));
  grdImage.show();
  lblWorkSpace.show();

  projectName = file;
  showGridPanels();
  StatusBar.setPanelText(2, "Project: " + projectName);
  if (panAnimate.visible()) aniRewindClick();
}

}  // namespace tlwk
