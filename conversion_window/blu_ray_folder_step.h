// The Blu-ray step of a conversion run done by the muxer library.
#pragma once

#include "engine/blu_ray_step.h"

namespace kinolux {

class BluRayFolderStep : public BluRayStep {
public:
    void Make(const std::string& outputPath, const std::function<void(int, const std::string&)>& show,
              const std::function<bool()>& cancelled) override;
};

}  // namespace kinolux
