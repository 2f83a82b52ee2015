#include "workspace/Tlwkimpo.h"

#include <initializer_list>
#include <string>
#include <utility>

#include "workspace/TileRules.h"
#include "workspace/Tlwkmain.h"

namespace tlwk {

namespace {
const platform::Font kDialogFont{"MS Sans Serif", 11, false};
const platform::Font kHeadingFont{"Arial", 16, true};
}  // namespace

TfrmImport::TfrmImport(TfrmMain& main) : main_(main) {
  setCaption("Import parameters");
  setDialogBorder();
  setClientSize(622, 302);
  centerOnScreen();
  setFont(kDialogFont);

  const struct {
    platform::Label& label;
    int left, top, width, height;
  } labels[] = {
      {lblFilename, 8, 8, 521, 13},    {lblImportX, 8, 32, 113, 17},    {lblImportY, 136, 32, 113, 17},
      {lblTileWidth, 8, 64, 145, 17},  {lblTileHeight, 8, 96, 145, 17}, {lblTilesAcross, 8, 128, 145, 17},
      {lblTilesDown, 8, 160, 145, 17}, {lblPreview, 384, 32, 209, 25},  {lblTileView, 8, 192, 105, 25}};
  for (const auto& l : labels) l.label.setBounds(l.left, l.top, l.width, l.height);
  for (platform::Label* fixed : {&lblFilename, &lblImportX, &lblImportY}) fixed->setAutoSize(false);
  lblPreview.setAutoSize(false);
  lblPreview.setFont(kHeadingFont);
  lblPreview.setAlignment(platform::TextAlign::Center);
  lblTileView.setFont(kHeadingFont);

  const struct {
    platform::ScrollBar& bar;
    platform::Edit& edit;
    int top;
  } rows[] = {{hsbTileWidth, txtTileWidth, 64},
              {hsbTileHeight, txtTileHeight, 96},
              {hsbTilesAcross, txtTilesAcross, 128},
              {hsbTilesDown, txtTilesDown, 160}};
  for (const auto& r : rows) {
    r.bar.setBounds(160, r.top, 153, 17);
    r.edit.setBounds(320, r.top, 33, 21);
    r.edit.setReadOnly(true);
  }
  hsbTileWidth.OnChange = [this] { hsbTileWidthChange(); };
  hsbTileHeight.OnChange = [this] { hsbTileHeightChange(); };
  hsbTilesAcross.OnChange = [this] { hsbTilesAcrossChange(); };
  hsbTilesDown.OnChange = [this] { hsbTilesDownChange(); };

  imgPreview.setBounds(360, 64, 249, 187);
  imgPreview.setStretch(true);
  imgTile.setBounds(128, 192, 100, 100);

  int order = 0;
  for (platform::Control* c : std::initializer_list<platform::Control*>{
           &hsbTileWidth, &hsbTileHeight, &hsbTilesAcross, &hsbTilesDown, &txtTileWidth, &txtTileHeight,
           &txtTilesAcross, &txtTilesDown, &cmdOK})
    c->setTabOrder(order++);

  cmdOK.setBounds(530, 267, 75, 25);
  cmdOK.setDefault(true);
  cmdOK.setModalResult(platform::mrOk);

  OnActivate = [this] { FormCreate(); };
}

void TfrmImport::FormCreate() {
  imgTile.setBounds(imgTile.left(), imgTile.top(), 100, 100);
  imgPreview.setPicture(main_.importedBitmap);
  UpdateTilePreview();
}

void TfrmImport::hsbTileWidthChange() {
  txtTileWidth.setText(std::to_string(hsbTileWidth.position()));
  hsbTilesAcross.setMax(tileCountMaximum(main_.importedWidth, hsbTileWidth.position()));
  UpdateTilePreview();
}

void TfrmImport::hsbTileHeightChange() {
  txtTileHeight.setText(std::to_string(hsbTileHeight.position()));
  hsbTilesDown.setMax(tileCountMaximum(main_.importedHeight, hsbTileHeight.position()));
  UpdateTilePreview();
}

void TfrmImport::hsbTilesAcrossChange() { txtTilesAcross.setText(std::to_string(hsbTilesAcross.position())); }

void TfrmImport::hsbTilesDownChange() { txtTilesDown.setText(std::to_string(hsbTilesDown.position())); }

void TfrmImport::UpdateTilePreview() {
  const int w = hsbTileWidth.position(), h = hsbTileHeight.position();
  platform::Bitmap tile(w, h);
  tile.copyRect(platform::Rect{0, 0, w, h}, std::as_const(imgPreview).picture(), platform::Rect{0, 0, w, h});
  imgTile.setPicture(tile);
}

}  // namespace tlwk
