#include "flash/core/render_services.h"

namespace flash {
namespace {
RenderServicesMaker registeredMaker = nullptr;
}

void registerRenderServices(RenderServicesMaker maker) { registeredMaker = maker; }

std::unique_ptr<RenderServices> makeRenderServices() { return registeredMaker ? registeredMaker() : nullptr; }

}  // namespace flash
