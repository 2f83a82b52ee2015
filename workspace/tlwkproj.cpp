#include "platform/controls/Application.h"
#include "workspace/Tlwkmain.h"

int main(int argc, char** argv) {
  platform::Application app(argc, argv);
  app.setTitle("Tessaly");
  app.setIcon("app_tlwkproj");
  tlwk::TfrmMain frmMain;
  app.run(frmMain);
  return 0;
}
