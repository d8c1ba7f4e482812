// The renderer's side of the core's render services: BitmapData.draw and
// applyFilter done by the renderer's own drawing and filters.
#pragma once

#include <memory>

#include "flash/core/render_services.h"

namespace flash::render {

std::unique_ptr<RenderServices> makeBitmapServices();

}  // namespace flash::render
