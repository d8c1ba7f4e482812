// Opens the encoders an output plan names, with the vector's settings:
// bit rates, rate control, key-frame spacing, quality, threads, profile,
// and any libav encoder option the vector passed through.
#pragma once

#include <memory>

#include "castor/encoder.h"
#include "castor/options.h"
#include "castor/output_plan.h"

namespace castor {

std::unique_ptr<Encoder> OpenVideoEncoder(const VideoPlan& plan, const Options& options,
                                          const Container& container);
AudioEncoder OpenAudioEncoder(const AudioPlan& plan, const Options& options, const Container& container);

}  // namespace castor
