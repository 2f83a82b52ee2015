#include <exception>

#include "platform/bitmap/BmpFile.h"
#include "platform/system/Files.h"
#include "workspace/Tlwkmain.h"

namespace tlwk {

using platform::MsgButtons;
using platform::MsgType;

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

  mnuFile_Open.OnClick = tlbOpen.OnClick = [this] { mnuFile_OpenClick(); };
  mnuFile_Save.OnClick = tlbSave.OnClick = [this] { mnuFile_SaveClick(); };
  mnuFile_SaveAs.OnClick = tlbSaveAs.OnClick = [this] { mnuFile_SaveAsClick(); };
  mnuFile_Close.OnClick = tlbClose.OnClick = [this] { mnuFile_CloseClick(); };
  mnuFile_Export.OnClick = tlbExport.OnClick = [this] { mnuFile_ExportClick(); };
  mnuTiles_Save.OnClick = mnuSave.OnClick = [this] { mnuSaveClick(); };
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
  const std::string base = projectBaseName(projectName);
  // Each file is replaced whole or not at all, in this order: tiles, frames, then the project text.
  const int n = imagelist1.count(), w = imagelist1.width(), h = imagelist1.height();
  {
    platform::Bitmap strip(n * w, h);
    for (int i = 0; i < n; ++i) imagelist1.draw(i, strip, i * w, 0);
    platform::saveBmpFile(base + "bmp", strip);
  }
  if (const int m = AniImageList.count(); m > 0) {
    const int fw = AniImageList.width(), fh = AniImageList.height();
    platform::Bitmap strip(m * fw, fh);
    for (int j = 0; j < m; ++j) AniImageList.draw(j, strip, j * fw, 0);
    platform::saveBmpFile(base + "vid", strip);
  }
  Memo1.clear();
  writeProjectHead(Memo1, ProjectValues{n, w, h, grdImage.colCount(), grdImage.rowCount(), framesPerSecond,
                                        AniImageList.count()});
  for (int r = 0; r < grdImage.rowCount(); ++r)
    for (int c = 0; c < grdImage.colCount(); ++c) Memo1.add(grdImage.cell(c, r));
  const std::string text = Memo1.text();
  platform::writeFileAtomic(projectName, text.data(), text.size());
  StatusBar.setPanelText(2, "Project: " + projectName);
}

void TfrmMain::mnuFile_SaveAsClick() {
  if (imagelist1.count() == 0) {
    platform::messageDlg("There is nothing to save..", MsgType::Information, MsgButtons::Ok);
    return;
  }
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
  mnuFile_SaveClick();
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
  const std::vector<std::uint8_t> bytes = platform::readFileBytes(file, kMaxProjectFileBytes);
  Memo1.clear();
  Memo1.setText(std::string(bytes.begin(), bytes.end()));
  if (Memo1.line(0) != kProjectHeader) {
    platform::messageDlg("This is not a valid Vantrel tile project file..", MsgType::Information,
                         MsgButtons::Ok);
    return;
  }
  const std::string base = projectBaseName(file);

  // Sizes no real project has are refused before anything changes, and so is a tile strip smaller than
  // the text says. A value that is no number fails at its own step, as does a missing strip.
  const KeyValues values = readKeyValues(Memo1);
  if (const auto why = projectTooLarge(values)) {
    platform::messageDlg(*why, MsgType::Information, MsgButtons::Ok);
    return;
  }
  std::optional<platform::Bitmap> tileStrip;
  std::exception_ptr stripFailure;
  if (values[kImageCount] && values[kImageWidth] && values[kImageHeight]) {
    try {
      tileStrip = platform::loadBmpFile(base + "bmp");
    } catch (...) {
      stripFailure = std::current_exception();
    }
    const std::int64_t n = *values[kImageCount];
    if (tileStrip && n > 0 &&
        (tileStrip->width() < n * *values[kImageWidth] || tileStrip->height() < *values[kImageHeight])) {
      platform::messageDlg("The tile strip " + base + "bmp is smaller than the project file describes..",
                           MsgType::Information, MsgButtons::Ok);
      return;
    }
  }

  grdImage.hide();
  lblWorkSpace.hide();
  imagelist1.clear();
  const std::int32_t w = ReadProjectValue(kImageWidth), h = ReadProjectValue(kImageHeight);
  imagelist1.setSize(w, h);
  const std::int32_t n = ReadProjectValue(kImageCount);
  if (stripFailure) std::rethrow_exception(stripFailure);
  if (!tileStrip) tileStrip = platform::loadBmpFile(base + "bmp");
  if (n > 0) {
    imagelist1.appendTiles(*tileStrip, n, n);
    for (int i = 0; i < n && i < grdImageList.colCount(); ++i) grdImageList.setCell(i, 0, "");
  }
  tileStrip.reset();

  const std::int32_t v = ReadProjectValue(kVideoFrames);
  if (v <= 0 && AniImageList.count() > 0) {
    // A project without frames has no animation: the frames of the work before it do not carry over.
    AniImageList.clear();
    lblFramesLoaded.setCaption("Frames Loaded: 0");
    hsbSlider.setMax(0);
  }
  currentFrame = v;
  if (v > 0) {
    AniImageList.clear();
    AniImageList.setSize(w, h);
    // A strip narrower than the frames it announces is loaded: frames it does not cover are white.
    const platform::Bitmap frames = platform::loadBmpFile(base + "vid");
    AniImageList.appendTiles(frames, v, v);
    imgFrame.setBounds(imgFrame.left(), imgFrame.top(), w, h);
    lblFramesLoaded.setCaption("Frames Loaded: " + std::to_string(AniImageList.count()));
    hsbSlider.setMax(AniImageList.count() - 1);
  }

  grdImageList.setDefaultColWidth(w);
  grdImageList.setDefaultRowHeight(h);
  grdImageList.repaint();
  grdImageList.setHeight(h + kListExtraHeight);
  grdImage.setColCount(std::max(1, ReadProjectValue(kColumns)));
  grdImage.setRowCount(std::max(1, ReadProjectValue(kRows)));
  grdImage.setDefaultColWidth(w);
  grdImage.setDefaultRowHeight(h);
  framesPerSecond = ReadProjectValue(kFramesPerSec);
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
