#include "editor/pxwkwork.h"
#include "platform/controls/Application.h"

int main(int argc, char** argv) {
  platform::Application app(argc, argv);
  app.setTitle("Pixandra");
  app.setIcon("app_pxwkproj");
  pxwk::TfrmMain frmMain(app.arguments());
  app.run(frmMain);
  return 0;
}
