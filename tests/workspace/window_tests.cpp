#include "tests/workspace/WorkspaceFixture.h"

TEST_F(WorkspaceTest, TheLayoutHasItsSizesAndTexts) {
  auto& f = start();
  EXPECT_EQ(f.clientWidth(), 800);
  EXPECT_EQ(f.clientHeight(), 554);
  EXPECT_EQ(f.ToolBar1.height(), 42);
  EXPECT_EQ(f.StatusBar.height(), 24);
  EXPECT_EQ(f.StatusBar.top(), 554 - 24);
  EXPECT_EQ(f.grdImageList.colCount(), 258);
  EXPECT_EQ(f.grdImageList.rowCount(), 1);
  EXPECT_EQ(f.grdImageList.height(), 53);
  EXPECT_EQ(f.grdImageList.hint(), "right click here, to add, delete or clear tiles");
  EXPECT_EQ(f.tlbExit.hint(), "Quit Vantrel Builder");
  EXPECT_EQ(f.tlbGrid.hint(), "Show/Hide Grid Lines");
  EXPECT_EQ(f.tlbHelp.hint(), "Tessaly Help");
  EXPECT_EQ(f.tlbNew.left(), 2 + 39 + 66);
  EXPECT_EQ(f.lblImageList.caption(), "Available Tiles List");
}

TEST_F(WorkspaceTest, GridFollowsTheMenuMarkAndTheToolButtonFollowsIt) {
  auto& f = start();
  f.tlbGrid.click();
  EXPECT_FALSE(f.mnuOptions_Grid.checked());
  EXPECT_FALSE(f.tlbGrid.down());
  EXPECT_EQ(f.grdImage.gridLineWidth(), 0);
  f.mnuOptions_Grid.click();
  EXPECT_TRUE(f.mnuOptions_Grid.checked());
  EXPECT_TRUE(f.tlbGrid.down());
  EXPECT_EQ(f.grdImage.gridLineWidth(), 1);
}

TEST_F(WorkspaceTest, NewTurnsGridLinesBackOnAndOverwriteOff) {
  auto& f = start();
  f.mnuOptions_Grid.click();
  f.mnuOptions_Overwrite.click();
  EXPECT_TRUE(f.mnuOptions_Overwrite.checked());
  f.framesPerSecond = 9;
  f.loopFlag = true;
  f.recordMode = true;
  f.cellClipboard = 4;
  f.projectName = "/tmp/level.prj";
  f.tlbNew.click();
  EXPECT_TRUE(f.mnuOptions_Grid.checked());
  EXPECT_TRUE(f.tlbGrid.down());
  EXPECT_EQ(f.grdImage.gridLineWidth(), 1);
  EXPECT_FALSE(f.mnuOptions_Overwrite.checked());
  EXPECT_FALSE(f.loopFlag);
  EXPECT_FALSE(f.recordMode);
  EXPECT_EQ(f.cellClipboard, -1);
  EXPECT_EQ(f.framesPerSecond, 9) << "the speed survives New";
  EXPECT_EQ(f.StatusBar.panelText(2), "Project: No file name");
  EXPECT_TRUE(f.projectName.empty());
}

TEST_F(WorkspaceTest, OverwriteOnlyFlipsItsMark) {
  auto& f = start();
  f.mnuOptions_Overwrite.click();
  EXPECT_TRUE(f.mnuOptions_Overwrite.checked());
  f.mnuOptions_Overwrite.click();
  EXPECT_FALSE(f.mnuOptions_Overwrite.checked());
}
