#include "tests/support/Input.h"
#include "tests/workspace/TileHelpers.h"

using testing_support::CallKind;

// Three tiles in cells 0 to 2 of the first row, the animation panel shown.
class AnimationTest : public TilesTest {
 protected:
  void SetUp() override {
    TilesTest::SetUp();
    start();
    addTiles(3);
    setCells({"0", "1", "2", ""});
    frm->tlbAnimate.click();
  }
  void pressCell(int col) {
    platform::pressMouse(frm->grdImage, platform::MouseButton::Left, col * 33 + 16, 16);
  }
  void record(std::initializer_list<int> cols) {
    if (!frm->recordMode) frm->aniRecord.click();
    for (int c : cols) pressCell(c);
  }
  platform::Color onShow() const { return frm->imgFrame.picture().pixel(1, 1); }
  std::string counter() const { return frm->lblFrameCounter.caption(); }
  std::string loaded() const { return frm->lblFramesLoaded.caption(); }

  enum State { Stopped, Playing, Paused, Recording };
  State state() const {
    const auto& f = *frm;
    if (f.recordMode && !f.playingFlag && f.resumeFlag && !f.tmrFrame.enabled()) return Recording;
    if (!f.recordMode && f.playingFlag && !f.resumeFlag) return f.tmrFrame.enabled() ? Playing : Paused;
    EXPECT_TRUE(!f.recordMode && !f.playingFlag && f.resumeFlag && !f.tmrFrame.enabled()) << "no player state";
    return Stopped;
  }
};

TEST_F(AnimationTest, ThePanelShowsRewoundAtTheTileSize) {
  EXPECT_TRUE(frm->panAnimate.visible());
  EXPECT_EQ(frm->AniImageList.width(), 32);
  EXPECT_EQ(frm->imgFrame.width(), 32);
  EXPECT_EQ(counter(), "Frame Counter: 0");
  EXPECT_EQ(onShow(), platform::clWhite);
  EXPECT_EQ(state(), Stopped);
  EXPECT_EQ(frm->aniLoop.hint(), "Loop on/off");
}

TEST_F(AnimationTest, RecordingAppendsFramesAndDeleteRightAfterReportsTheIndex) {
  record({0, 1, 2, 3});  // the empty cell records nothing
  EXPECT_EQ(state(), Recording);
  EXPECT_TRUE(frm->lblRecording.visible());
  EXPECT_TRUE(frm->aniRecord.down());
  EXPECT_EQ(frm->AniImageList.count(), 3);
  EXPECT_EQ(loaded(), "Frames Loaded: 3");
  EXPECT_EQ(counter(), "Frame Counter: 2");
  EXPECT_EQ(frm->currentFrame, 3);
  EXPECT_EQ(frm->hsbSlider.max(), 2);
  EXPECT_EQ(onShow(), tileColor(2));
  EXPECT_EQ(cells(3), (std::vector<std::string>{"0", "1", "2"})) << "recording changes no cell";

  ui.acknowledge();
  frm->aniEraseFrame.click();
  EXPECT_EQ(ui.callsOf(CallKind::Exception).at(0).text, "Invalid ImageList Index");
  EXPECT_EQ(frm->AniImageList.count(), 3);
  EXPECT_EQ(loaded(), "Frames Loaded: 3");
}

TEST_F(AnimationTest, PlaybackWithoutLoopShowsEachFrameOnceAndStopsAtFrameZero) {
  record({0, 1, 2});
  frm->aniRecord.click();
  EXPECT_EQ(state(), Stopped);
  frm->framesPerSecond = 7;
  frm->aniPlay.click();
  EXPECT_EQ(frm->tmrFrame.interval(), 142);
  EXPECT_EQ(state(), Playing);
  frm->tmrFrame.tick();  // current frame 3: the playback ends at once
  EXPECT_EQ(state(), Stopped);
  EXPECT_EQ(onShow(), tileColor(2)) << "the last recorded frame stays in view";
  EXPECT_EQ(counter(), "Frame Counter: 0");
  frm->aniPlay.click();
  std::vector<platform::Color> shown;
  for (int i = 0; i < 3; ++i) {
    frm->tmrFrame.tick();
    shown.push_back(onShow());
  }
  EXPECT_EQ(shown, (std::vector<platform::Color>{tileColor(0), tileColor(1), tileColor(2)}));
  EXPECT_EQ(counter(), "Frame Counter: 2");
  frm->tmrFrame.tick();
  EXPECT_EQ(state(), Stopped);
  EXPECT_EQ(onShow(), tileColor(0)) << "the slider's return shows frame 0";
  EXPECT_EQ(counter(), "Frame Counter: 0");
}

TEST_F(AnimationTest, LoopWrapsAndAnEmptyLoopShowsWhite) {
  record({0, 1});
  frm->aniRecord.click();
  frm->aniLoop.click();
  EXPECT_TRUE(frm->aniLoop.down());
  frm->aniPlay.click();
  for (int i = 0; i < 3; ++i) frm->tmrFrame.tick();
  EXPECT_EQ(onShow(), tileColor(0));
  EXPECT_EQ(state(), Playing);
  frm->aniErase.click();
  EXPECT_EQ(state(), Stopped);
  frm->aniPlay.click();
  frm->tmrFrame.tick();
  frm->tmrFrame.tick();
  EXPECT_EQ(state(), Playing);
  EXPECT_EQ(onShow(), platform::clWhite);
  EXPECT_EQ(counter(), "Frame Counter: 0");
}

TEST_F(AnimationTest, StopKeepsThePlaceAndPlayResumesThere) {
  record({0, 1, 2});
  frm->aniRecord.click();
  frm->aniRewind.click();
  frm->aniPlay.click();
  frm->tmrFrame.tick();
  frm->tmrFrame.tick();  // showed frame 1
  frm->aniStop.click();
  EXPECT_EQ(state(), Stopped);
  frm->aniPlay.click();
  frm->tmrFrame.tick();
  EXPECT_EQ(onShow(), tileColor(2));
}

TEST_F(AnimationTest, MovingCommandsPauseAndRecordIsRefusedUntilStop) {
  record({0, 1, 2});
  frm->aniRecord.click();
  frm->aniPlay.click();
  frm->tmrFrame.tick();  // ends: current frame 3 was past the end
  frm->aniPlay.click();
  frm->tmrFrame.tick();
  frm->tmrFrame.tick();
  frm->aniBack.click();
  EXPECT_EQ(state(), Paused);
  EXPECT_EQ(onShow(), tileColor(1));
  frm->aniRecord.click();
  EXPECT_FALSE(frm->recordMode);
  EXPECT_FALSE(frm->aniRecord.down()) << "a refused press leaves the button up";
  frm->aniPlay.click();
  frm->tmrFrame.tick();
  EXPECT_EQ(onShow(), tileColor(0)) << "after a pause Play starts at frame 0";
  frm->aniStop.click();
  frm->aniRecord.click();
  EXPECT_EQ(state(), Recording);
}

TEST_F(AnimationTest, RecordingAfterGotoStartOverwritesThenAppends) {
  record({0, 0, 0, 0});
  frm->aniRewind.click();
  record({1, 2, 1, 2, 1, 2});
  ASSERT_EQ(frm->AniImageList.count(), 6);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(frm->AniImageList.image(i).pixel(0, 0), tileColor(i % 2 ? 2 : 1)) << i;
}

TEST_F(AnimationTest, DeletingTheLastFrameMovesBackAndTheOnlyFrameLeavesWhite) {
  record({0, 1, 2});
  frm->aniForward.click();
  frm->aniEraseFrame.click();
  EXPECT_EQ(frm->AniImageList.count(), 2);
  EXPECT_EQ(frm->currentFrame, 1);
  EXPECT_EQ(onShow(), tileColor(1));
  EXPECT_EQ(frm->hsbSlider.max(), 1);
  EXPECT_EQ(loaded(), "Frames Loaded: 2");
  frm->aniEraseFrame.click();
  frm->aniEraseFrame.click();
  EXPECT_EQ(frm->AniImageList.count(), 0);
  EXPECT_EQ(onShow(), platform::clWhite);
  EXPECT_EQ(frm->currentFrame, 0);
  EXPECT_EQ(loaded(), "Frames Loaded: 0");
}

TEST_F(AnimationTest, EraseVideoStopsEverythingAndTheNextRecordingIsFrameZero) {
  record({0, 1});
  frm->aniRecord.click();
  frm->aniLoop.click();
  frm->aniPlay.click();
  frm->tmrFrame.tick();
  frm->aniErase.click();
  EXPECT_EQ(state(), Stopped);
  EXPECT_EQ(loaded(), "Frames Loaded: 0");
  EXPECT_EQ(counter(), "Frame Counter: 0");
  EXPECT_EQ(onShow(), platform::clWhite);
  EXPECT_FALSE(frm->lblRecording.visible());
  EXPECT_TRUE(frm->loopFlag) << "the loop setting stays";
  record({2});
  EXPECT_EQ(counter(), "Frame Counter: 0");
  EXPECT_EQ(frm->AniImageList.count(), 1);
}

// With no frames the shuttle has nowhere to go: its track is as bare as beside a thumb at the end.
TEST_F(AnimationTest, TheShuttleWithoutFramesShowsNoThumb) {
  record({0, 1, 2});
  frm->aniRecord.click();
  frm->hsbSlider.setPosition(frm->hsbSlider.max());
  const platform::Bitmap bare = platform::shownOnScreen(frm->hsbSlider);
  frm->aniErase.click();
  ASSERT_EQ(frm->hsbSlider.max(), 0);
  const platform::Bitmap empty = platform::shownOnScreen(frm->hsbSlider);
  const int h = frm->hsbSlider.height(), middle = frm->hsbSlider.width() / 2;
  for (int x = h; x < middle; ++x)
    for (int y = 0; y < h; ++y) ASSERT_EQ(empty.pixel(x, y), bare.pixel(x, y)) << x << "," << y;
}

TEST_F(AnimationTest, TheSpeedBoxTakesOneOrTwoCharactersFrom1To15) {
  const struct {
    std::vector<std::string> answers;  // the last one is accepted, or Cancel when marked
    int speed;
    bool error;
  } cases[] = {
      {{"0", "16", "123", "", " 5"}, 5, false},
      {{"$F"}, 15, false},
      {{"ab"}, 9, true},
      {{"5 "}, 9, true},
  };
  for (const auto& c : cases) {
    frm->framesPerSecond = 9;
    for (const auto& a : c.answers) ui.answerInput(a);
    if (c.error) ui.acknowledge();
    frm->aniSpeed.click();
    EXPECT_EQ(frm->framesPerSecond, c.speed) << c.answers.back();
    const auto boxes = ui.callsOf(CallKind::Input);
    ASSERT_EQ(boxes.size(), c.answers.size());
    for (const auto& b : boxes) {
      EXPECT_EQ(b.caption, "Frames/Sec");
      EXPECT_EQ(b.text, "Number of frames per second (1-15)");
      EXPECT_EQ(b.value, "9") << "each box shows the current speed again";
    }
    if (c.error) {
      EXPECT_EQ(ui.callsOf(CallKind::Exception).at(0).text,
                "'" + c.answers.back() + "' is not a valid integer value");
    }
    ui.clear();
  }
  ui.answerInput(std::nullopt);
  frm->aniSpeed.click();
  EXPECT_EQ(frm->framesPerSecond, 9);
}

TEST_F(AnimationTest, TheIntervalIs1000DivTheSpeedAndAnOddSpeedNeverReachesTheDivision) {
  for (auto [speed, interval] : {std::pair{5, 200}, {15, 66}, {1, 1000}, {0, 1000}, {-3, 1000}, {40, 66}}) {
    frm->framesPerSecond = speed;
    frm->aniPlay.click();
    EXPECT_EQ(frm->tmrFrame.interval(), interval) << speed;
  }
}

TEST_F(AnimationTest, NewDuringPlaybackStopsItAndKeepsThePanelAndSpeed) {
  record({0});
  frm->aniRecord.click();
  frm->framesPerSecond = 11;
  frm->aniLoop.click();
  frm->aniPlay.click();
  frm->tlbNew.click();
  EXPECT_EQ(state(), Stopped);
  EXPECT_TRUE(frm->panAnimate.visible());
  EXPECT_EQ(frm->framesPerSecond, 11);
  EXPECT_FALSE(frm->aniLoop.down());
  EXPECT_EQ(loaded(), "Frames Loaded: 0");
}

TEST_F(AnimationTest, HidingLetsPlaybackRunAndShowingAgainRewindsAndPauses) {
  record({0, 1});
  frm->aniRecord.click();
  frm->aniRewind.click();
  frm->aniStop.click();
  frm->aniPlay.click();
  frm->aniClose.click();
  EXPECT_FALSE(frm->panAnimate.visible());
  frm->tmrFrame.tick();
  EXPECT_EQ(state(), Playing);
  frm->mnuAnimation_Animate.click();
  EXPECT_EQ(state(), Paused);
  EXPECT_EQ(frm->currentFrame, 0);
}

TEST_F(AnimationTest, ATileSizeChangeDropsTheFramesAndThePanelSaysSo) {
  record({0, 1});
  frm->aniRecord.click();
  frm->aniClose.click();
  selectTile(0);
  for (int i = 0; i < 3; ++i) frm->mnuTiles_Delete.click();
  addTiles(1, 16);
  frm->grdImage.setCell(0, 0, "0");
  frm->mnuAnimation_Animate.click();
  EXPECT_EQ(frm->AniImageList.count(), 0);
  EXPECT_EQ(frm->AniImageList.width(), 16);
  EXPECT_EQ(loaded(), "Frames Loaded: 0");
  EXPECT_EQ(frm->hsbSlider.max(), 0);
}
