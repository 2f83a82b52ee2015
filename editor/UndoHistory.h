#pragma once

#include <cstddef>
#include <deque>

#include "platform/core/Bitmap.h"

namespace pxwk {

// Memory the snapshots may take on a machine with `physicalBytes` of memory: half of it. Snapshots are
// whole copies, each page of them written, so they are memory the machine really gives; the other half
// stays for the system and the programs beside the editor. Physical memory, not the memory free at
// start-up, so that the number of undo steps does not hang on what else ran at that moment. On 24 GiB a
// 1000 x 1000 image keeps about 3,200 snapshots and a 4000 x 4000 one about 200. A machine that does not
// tell its memory gets 256 MiB.
std::size_t undoBudgetFor(std::size_t physicalBytes);

// The editor's linear undo history (the window's ImgListUndo and undo position): full copies of the
// working image, newest at the undo position. Images above the undo position are storage that later
// pushes overwrite; they are never drawn, so undone steps cannot come back. Snapshots keep the working
// image's own pixel format and colour table, so an undo restores its pixel values exactly.
//
// The number of snapshots has no bound of its own. Beyond the byte budget, and when memory for a copy runs
// out, storage goes first and then the oldest snapshots; the newest is always kept, even alone over the
// budget, so the last step can be undone.
class UndoHistory {
 public:
  // The budget this machine's memory gives.
  UndoHistory();
  explicit UndoHistory(std::size_t budgetBytes);

  // The set-up of a document: the list takes its size (a change of either side empties it) and nothing is
  // undoable. Images of the same size stay as storage.
  void reset(int width, int height);

  // PushUndo: the undo position moves up by one and a copy of the working image is stored there, appended
  // or over the image that was there. A working image of another size is taken as an image list takes it:
  // its top-left part, white where it does not reach. If not even one copy fits in memory the history
  // stays empty.
  void push(const platform::Bitmap& working);

  // mnuEdit_UndoClick: draws the newest snapshot over the working image at (0, 0) and moves the undo
  // position down by one. False, and the image untouched, when there is nothing to undo.
  bool undo(platform::Bitmap& working);

  // The Undo menu item is enabled exactly while this holds.
  bool canUndo() const { return position_ >= 0; }

  // Index of the newest valid snapshot; -1 when the history is empty.
  int undoPosition() const { return position_; }
  // Images held, the storage above the undo position included.
  int count() const { return static_cast<int>(images_.size()); }
  int width() const { return width_; }
  int height() const { return height_; }
  std::size_t bytes() const { return bytes_; }
  std::size_t budget() const { return budget_; }

  // What one snapshot of image costs against the budget.
  static std::size_t snapshotBytes(const platform::Bitmap& image);

 private:
  platform::Bitmap snapshotOf(const platform::Bitmap& working) const;
  std::size_t incomingBytes(const platform::Bitmap& working) const;
  void releaseSlot(std::size_t index);
  // Drops one image that is not the slot about to be written: storage above it first, then the oldest.
  bool dropOne();
  void place(platform::Bitmap&& snapshot);

  std::size_t budget_;
  int width_ = 0;
  int height_ = 0;
  int position_ = -1;
  std::size_t bytes_ = 0;
  std::deque<platform::Bitmap> images_;
};

}  // namespace pxwk
