#include "editor/UndoHistory.h"

#include <cstdint>
#include <new>
#include <utility>

#include "platform/core/Memory.h"

namespace pxwk {

namespace {

std::size_t bytesFor(int width, int height, const platform::Bitmap& like) {
  const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  const std::size_t perPixel = like.indexed() ? sizeof(std::uint8_t) : sizeof(std::uint32_t);
  return sizeof(platform::Bitmap) + pixels * perPixel + like.colorTable().size() * sizeof(platform::Color);
}

}  // namespace

std::size_t undoBudgetFor(std::size_t physicalBytes) {
  if (physicalBytes == 0) return std::size_t{256} << 20;
  return physicalBytes / 2;
}

UndoHistory::UndoHistory() : UndoHistory(undoBudgetFor(platform::physicalMemoryBytes())) {}

UndoHistory::UndoHistory(std::size_t budgetBytes) : budget_(budgetBytes) {}

std::size_t UndoHistory::snapshotBytes(const platform::Bitmap& image) {
  return bytesFor(image.width(), image.height(), image);
}

void UndoHistory::reset(int width, int height) {
  if (width != width_ || height != height_) {
    std::deque<platform::Bitmap>().swap(images_);
    bytes_ = 0;
    width_ = width;
    height_ = height;
  }
  position_ = -1;
}

std::size_t UndoHistory::incomingBytes(const platform::Bitmap& working) const {
  return bytesFor(width_, height_, working);
}

platform::Bitmap UndoHistory::snapshotOf(const platform::Bitmap& working) const {
  if (working.width() == width_ && working.height() == height_) return working;
  platform::Bitmap snapshot(width_, height_, working.pixelFormat());
  snapshot.setColorTable(working.colorTable());
  snapshot.fillRect({0, 0, width_, height_}, platform::clWhite);
  snapshot.draw(0, 0, working);
  return snapshot;
}

void UndoHistory::releaseSlot(std::size_t index) {
  bytes_ -= snapshotBytes(images_[index]);
  images_[index] = platform::Bitmap();
  bytes_ += snapshotBytes(images_[index]);
}

bool UndoHistory::dropOne() {
  const std::size_t target = static_cast<std::size_t>(position_ + 1);
  if (images_.size() > target + 1) {
    bytes_ -= snapshotBytes(images_.back());
    images_.pop_back();
    return true;
  }
  if (target > 0) {
    bytes_ -= snapshotBytes(images_.front());
    images_.pop_front();
    --position_;
    return true;
  }
  return false;
}

void UndoHistory::place(platform::Bitmap&& snapshot) {
  const std::size_t target = static_cast<std::size_t>(position_ + 1);
  const std::size_t cost = snapshotBytes(snapshot);
  if (target == images_.size()) {
    images_.push_back(std::move(snapshot));
  } else {
    bytes_ -= snapshotBytes(images_[target]);
    images_[target] = std::move(snapshot);
  }
  bytes_ += cost;
  ++position_;
}

void UndoHistory::push(const platform::Bitmap& working) {
  // The overwritten image goes before the copy is made, so the copy never sits beside it.
  const std::size_t target = static_cast<std::size_t>(position_ + 1);
  if (target < images_.size()) releaseSlot(target);
  const std::size_t incoming = incomingBytes(working);
  while (bytes_ + incoming > budget_ && dropOne()) {
  }
  for (;;) {
    try {
      place(snapshotOf(working));
      return;
    } catch (const std::bad_alloc&) {
      // Memory ran out below the budget: older snapshots give way to this one.
      if (!dropOne()) return;
    }
  }
}

bool UndoHistory::undo(platform::Bitmap& working) {
  if (position_ < 0) return false;
  working.draw(0, 0, images_[static_cast<std::size_t>(position_)]);
  --position_;
  return true;
}

}  // namespace pxwk
