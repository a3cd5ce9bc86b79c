// Moves values between the page's controls and the image: the page transfer
// (controls -> image) and the page refresh (image -> controls) are loops over
// the core's field table, the map pages through the map editor.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "model/derived.h"
#include "model/fields.h"
#include "model/image.h"
#include "ui/window/window_layout.h"

namespace velmor::ui {

class FieldBinder {
 public:
  // `allCells` holds each map page's "All" box, kept in the settings file.
  FieldBinder(ParameterImage& image, DerivedTables& tables, WindowControls& controls,
              std::array<std::uint8_t, PageCount>& allCells);

  void TransferPage(int page);
  // The fields of `page`; a map page also moves the map editor onto its sheet.
  void RefreshPage(int page);

  // The model list was shown a model it does not hold.
  std::function<void()> UnsupportedModelShown;
  // A map page was refreshed (the block selection redraws).
  std::function<void()> MapRefreshed;

 private:
  void TransferField(const FieldDef& field, int index);
  void RefreshField(const FieldDef& field, int index);
  void TransferMapPage(int page);
  void RefreshMapPage(int page);

  ParameterImage& image_;
  DerivedTables& tables_;
  WindowControls& controls_;
  std::array<std::uint8_t, PageCount>& allCells_;
};

}  // namespace velmor::ui
