// Stands in for the editor in the round trip through a real process: records the arguments it was given
// beside the file, paints the file's top-left 2 x 2 pixels and writes it back.
#include <fstream>
#include <string>

#include "platform/core/BmpFile.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::ofstream record(std::string(argv[1]) + ".args");
  record << argc - 1 << "\n";
  for (int i = 1; i < argc; ++i) record << argv[i] << "\n";
  if (argc != 2) return 3;
  platform::Bitmap b = platform::loadBmpFile(argv[1]);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) b.setPixel(x, y, platform::rgb(1, 2, 3));
  platform::saveBmpFile(argv[1], b);
  return 0;
}
