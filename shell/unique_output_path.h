// The rule by which an existing output is never overwritten.
#pragma once

#include <string>

#include "profiles/profile_settings.h"

namespace kinolux {

// `outputPath` when nothing has that name. Otherwise the output's folder,
// the input's file name without its extension, " (n)" and the output's
// extension, with the first n from 1 up that names nothing: the output
// /out/movie.mpg for the input /swf/intro.swf becomes /out/intro (1).mpg.
// For an image sequence, whose pictures go into the folder named like the
// output without its extension, a name whose folder exists is taken too.
// Profiles whose output is a folder of numbered pictures.
bool IsImageSequenceProfile(const ProfileSettings& profile);

std::string MakeUniqueOutputPath(const std::string& outputPath, const std::string& inputPath,
                                 bool imageSequence = false);

}  // namespace kinolux
