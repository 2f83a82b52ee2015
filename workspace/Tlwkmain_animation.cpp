#include <algorithm>

#include "platform/core/Convert.h"
#include "workspace/Tlwkmain.h"

namespace tlwk {

namespace {
const platform::Font kTitleFont{"Arial", 21, true};
const platform::Font kRecordingFont{"Arial", 15, true};
}  // namespace

void TfrmMain::buildAnimationPanel() {
  Label1.setFont(kTitleFont);
  Label1.setBounds(16, 8, 0, 0);
  imgFrame.setBounds(18, 32, 100, 100);
  imgFrame.setAutoSize(true);
  lblRecording.setAutoSize(false);
  lblRecording.setBounds(16, 136, 74, 18);
  lblRecording.setFont(kRecordingFont);
  lblRecording.setTextColor(platform::rgb(255, 0, 0));
  lblRecording.setAlignment(platform::TextAlign::Center);
  lblRecording.hide();
  const struct {
    platform::SpeedButton& button;
    int left, top;
    const char* hint;
  } buttons[] = {{aniRewind, 8, 160, "Goto Start"},
                 {aniBack, 33, 160, "Step Back"},
                 {aniPlay, 59, 160, "Play"},
                 {aniStep, 84, 160, "Step Forward"},
                 {aniForward, 109, 160, "Goto End"},
                 {aniErase, 8, 185, "Erase Video"},
                 {aniEraseFrame, 33, 185, "Delete current frame"},
                 {aniStop, 59, 185, "Stop"},
                 {aniLoop, 84, 185, "Loop on/off"},
                 {aniRecord, 109, 185, "Record on/off"},
                 {aniSpeed, 134, 185, "Set Playback Speed"},
                 {aniClose, 143, 1, "Hide Video Player"}};
  for (const auto& b : buttons) {
    b.button.setBounds(b.left, b.top, 25, 25);
    b.button.setHint(b.hint);
  }
  aniLoop.setGroupIndex(1);
  aniLoop.setAllowAllUp(true);
  aniRecord.setGroupIndex(2);
  aniRecord.setAllowAllUp(true);
  hsbSlider.setBounds(8, 216, 129, 16);
  hsbSlider.setHint("Playback Shuttle");
  lblFramesLoaded.setBounds(8, 240, 0, 0);
  lblFrameCounter.setBounds(8, 256, 0, 0);
  tmrFrame.setEnabled(false);
}

void TfrmMain::bindAnimationHandlers() {
  aniRewind.OnClick = [this] { aniRewindClick(); };
  aniBack.OnClick = [this] { aniBackClick(); };
  aniPlay.OnClick = [this] { aniPlayClick(); };
  aniStep.OnClick = [this] { aniStepClick(); };
  aniForward.OnClick = [this] { aniForwardClick(); };
  aniErase.OnClick = [this] { aniEraseClick(); };
  aniEraseFrame.OnClick = [this] { aniEraseFrameClick(); };
  aniStop.OnClick = [this] { aniStopClick(); };
  aniLoop.OnClick = [this] { aniLoopClick(); };
  aniRecord.OnClick = [this] { aniRecordClick(); };
  aniSpeed.OnClick = [this] { aniSpeedClick(); };
  aniClose.OnClick = [this] { aniCloseClick(); };
  hsbSlider.OnChange = [this] { hsbSliderChange(); };
  tmrFrame.OnTimer = [this] { tmrFrameTimer(); };
  mnuAnimation_Animate.OnClick = tlbAnimate.OnClick = [this] { mnuAnimation_AnimateClick(); };
}

void TfrmMain::resetAnimation() {
  AniImageList.clear();
  platform::Bitmap& shown = imgFrame.editPicture();
  shown.fillRect(platform::Rect{0, 0, shown.width(), shown.height()}, platform::clWhite);
  imgFrame.repaint();
  lblFramesLoaded.setCaption("Frames Loaded: 0");
  currentFrame = 0;
  hsbSlider.setMax(0);
  lblFrameCounter.setCaption("Frame Counter: 0");
  tmrFrame.setEnabled(false);
  resumeFlag = true;
  playingFlag = false;
  recordMode = false;
  aniRecord.setDown(false);
  lblRecording.hide();
  loopFlag = false;
  aniLoop.setDown(false);
}

void TfrmMain::showFrame(std::int32_t i) {
  platform::Bitmap frame(imagelist1.width(), imagelist1.height());
  AniImageList.draw(i, frame, 0, 0);
  imgFrame.setPicture(frame);
}

void TfrmMain::setFrameSizeToTiles() {
  // Frames have the tile size; frames of another size are dropped, and the panel says so.
  const bool had = AniImageList.count() > 0;
  AniImageList.setSize(imagelist1.width(), imagelist1.height());
  if (had && AniImageList.count() == 0) {
    lblFramesLoaded.setCaption("Frames Loaded: 0");
    hsbSlider.setMax(0);
    currentFrame = 0;
  }
}

void TfrmMain::mnuAnimation_AnimateClick() {
  if (panAnimate.visible()) return;
  panAnimate.show();
  if (AniImageList.count() == 0) lblFramesLoaded.setCaption("Frames Loaded: 0");
  setFrameSizeToTiles();
  imgFrame.setBounds(imgFrame.left(), imgFrame.top(), imagelist1.width(), imagelist1.height());
  aniRewindClick();
}

void TfrmMain::aniPlayClick() {
  if (recordMode) return;
  playingFlag = true;
  tmrFrame.setEnabled(false);
  // A speed outside 1 to 15 can only come from a project file; it never reaches the division as it is.
  tmrFrame.setInterval(1000 / std::clamp(framesPerSecond, 1, 15));
  if (!resumeFlag) currentFrame = 0;
  resumeFlag = false;
  tmrFrame.setEnabled(true);
  setFrameSizeToTiles();
  imgFrame.setBounds(imgFrame.left(), imgFrame.top(), imagelist1.width(), imagelist1.height());
  lblFrameCounter.setCaption("Frame Counter: " + std::to_string(currentFrame));
}

void TfrmMain::tmrFrameTimer() {
  const int count = AniImageList.count();
  if (currentFrame > count - 1) {
    if (!loopFlag) {
      currentFrame = 0;
      lblFrameCounter.setCaption("Frame Counter: 0");
      hsbSlider.setPosition(0);
      tmrFrame.setEnabled(false);
      playingFlag = false;
      resumeFlag = true;
      return;
    }
    currentFrame = 0;
  }
  showFrame(currentFrame);
  hsbSlider.setPosition(currentFrame);
  lblFrameCounter.setCaption("Frame Counter: " + std::to_string(currentFrame));
  ++currentFrame;
}

void TfrmMain::aniStopClick() {
  tmrFrame.setEnabled(false);
  resumeFlag = true;
  playingFlag = false;
}

void TfrmMain::moveToFrame(std::int32_t i) {
  tmrFrame.setEnabled(false);
  currentFrame = i;
  showFrame(currentFrame);
  lblFrameCounter.setCaption("Frame Counter: " + std::to_string(currentFrame));
  hsbSlider.setPosition(currentFrame);
}

void TfrmMain::aniRewindClick() { moveToFrame(0); }

void TfrmMain::aniForwardClick() {
  if (AniImageList.count() == 0) return;
  moveToFrame(AniImageList.count() - 1);
}

void TfrmMain::aniBackClick() {
  if (currentFrame <= 0) return;
  moveToFrame(currentFrame - 1);
}

void TfrmMain::aniStepClick() {
  if (AniImageList.count() == 0 || currentFrame >= AniImageList.count() - 1) return;
  moveToFrame(currentFrame + 1);
}

void TfrmMain::hsbSliderChange() {
  currentFrame = hsbSlider.position();
  showFrame(currentFrame);
  lblFrameCounter.setCaption("Frame Counter: " + std::to_string(currentFrame));
}

void TfrmMain::aniLoopClick() {
  loopFlag = !loopFlag;
  aniLoop.setDown(loopFlag);
}

void TfrmMain::aniRecordClick() {
  if (playingFlag) {
    aniRecord.setDown(false);
    return;
  }
  recordMode = !recordMode;
  aniRecord.setDown(recordMode);
  lblRecording.setVisible(recordMode);
}

void TfrmMain::recordFrame(int col, int row) {
  const std::string& text = grdImage.cell(col, row);
  if (text.empty()) return;
  const std::int32_t n = platform::strToInt(text);
  // Frames keep the tile size, also when the tiles changed size while the panel was open.
  setFrameSizeToTiles();
  platform::Bitmap frame(imagelist1.width(), imagelist1.height());
  imagelist1.draw(n, frame, 0, 0);
  if (currentFrame >= 0 && currentFrame < AniImageList.count()) {
    AniImageList.replace(currentFrame, frame);
  } else {
    AniImageList.add(frame);
  }
  imgFrame.editPicture().draw(0, 0, frame);
  imgFrame.repaint();
  hsbSlider.setMax(AniImageList.count() - 1);
  lblFramesLoaded.setCaption("Frames Loaded: " + std::to_string(AniImageList.count()));
  lblFrameCounter.setCaption("Frame Counter: " + std::to_string(currentFrame));
  ++currentFrame;
}

void TfrmMain::aniEraseFrameClick() {
  if (AniImageList.count() == 0) return;
  AniImageList.remove(currentFrame);  // a current frame that names no frame: "Invalid ImageList Index"
  const int count = AniImageList.count();
  if (count > 0 && currentFrame >= count) currentFrame = count - 1;
  platform::Bitmap frame(imagelist1.width(), imagelist1.height());
  if (count > 0) AniImageList.draw(currentFrame, frame, 0, 0);
  imgFrame.setPicture(frame);
  if (count > 0) hsbSlider.setMax(count - 1);
  lblFramesLoaded.setCaption("Frames Loaded: " + std::to_string(count));
}

void TfrmMain::aniEraseClick() {
  AniImageList.clear();
  lblFramesLoaded.setCaption("Frames Loaded: 0");
  lblFrameCounter.setCaption("Frame Counter: 0");
  platform::Bitmap& shown = imgFrame.editPicture();
  shown.fillRect(platform::Rect{0, 0, shown.width(), shown.height()}, platform::clWhite);
  imgFrame.repaint();
  hsbSlider.setMax(0);
  tmrFrame.setEnabled(false);
  playingFlag = false;
  resumeFlag = true;
  currentFrame = 0;
  recordMode = false;
  aniRecord.setDown(false);
  lblRecording.hide();
}

void TfrmMain::aniSpeedClick() {
  for (;;) {
    const auto text = platform::services().inputBox("Frames/Sec", "Number of frames per second (1-15)",
                                                    std::to_string(framesPerSecond));
    if (!text) return;
    if (text->size() < 1 || text->size() > 2) continue;
    const std::int32_t v = platform::strToInt(*text);
    if (v >= 1 && v <= 15) {
      framesPerSecond = v;
      return;
    }
  }
}

void TfrmMain::aniCloseClick() { panAnimate.hide(); }

}  // namespace tlwk
