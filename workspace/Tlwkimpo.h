#pragma once

#include "platform/controls/Form.h"
#include "platform/controls/Widgets.h"
#include "platform/core/Bitmap.h"

namespace tlwk {

class TfrmMain;

// The import-parameters dialog: tile size and how many tiles to take across and down.
class TfrmImport : public platform::Form {
 public:
  explicit TfrmImport(TfrmMain& main);

  platform::Label lblFilename{*this, ""};
  platform::Label lblImportX{*this, ""};
  platform::Label lblImportY{*this, ""};
  platform::Label lblTileWidth{*this, "Width of each tile"};
  platform::Label lblTileHeight{*this, "Height of each tile"};
  platform::Label lblTilesAcross{*this, "Number of tiles across bitmap"};
  platform::Label lblTilesDown{*this, "Number of tiles down bitmap"};
  platform::ScrollBar hsbTileWidth{*this};
  platform::ScrollBar hsbTileHeight{*this};
  platform::ScrollBar hsbTilesAcross{*this};
  platform::ScrollBar hsbTilesDown{*this};
  platform::Edit txtTileWidth{*this};
  platform::Edit txtTileHeight{*this};
  platform::Edit txtTilesAcross{*this};
  platform::Edit txtTilesDown{*this};
  platform::Label lblPreview{*this, "Bitmap Preview"};
  platform::Image imgPreview{*this};
  platform::Label lblTileView{*this, "Image of a tile"};
  platform::Image imgTile{*this};
  platform::Button cmdOK{*this, "OK"};

  void FormCreate();
  void hsbTileWidthChange();
  void hsbTileHeightChange();
  void hsbTilesAcrossChange();
  void hsbTilesDownChange();

 private:
  void UpdateTilePreview();
  TfrmMain& main_;
};

}  // namespace tlwk
