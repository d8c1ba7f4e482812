// The four C entries of libjoiner.
#include <atomic>
#include <cstdio>
#include <memory>
#include <new>

#include "bindings/joiner.h"
#include "joiner/disc_folder.h"
#include "joiner/failure.h"
#include "joiner/packet_scan.h"
#include "joiner/source_packet_writer.h"
#include "joiner/stream_survey.h"
#include "joiner/track_info.h"

namespace {

// The callback serves every call that follows, as the caller set it.
std::atomic<NX_PROGRESS_CALLBACK> progressCallback{nullptr};

int32_t Settle(joiner::TrackInfo& info, int32_t status, const char* message) {
    info.head.status = status;
    std::snprintf(info.head.message, sizeof info.head.message, "%s", message);
    return status;
}

// Runs one step, turning what it throws into the record's status.
template <typename Step>
int32_t Run(joiner::TrackInfo& info, Step step) {
    try {
        step();
        return Settle(info, 0, "");
    } catch (const joiner::Failure& failure) {
        return Settle(info, failure.Status(), failure.what());
    } catch (const std::bad_alloc&) {
        return Settle(info, NX_ERROR_UNREADABLE, "There is not enough memory to read the transport stream.");
    }
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int32_t nx_setcallbackfunc(NX_PROGRESS_CALLBACK callback) {
    progressCallback = callback;
    return 0;
}

__attribute__((visibility("default"))) int32_t nx_ts_gettrackinfo(const char* tsPath, void** trackInfo) {
    if (!trackInfo) return NX_ERROR_ARGUMENT;
    joiner::TrackInfo* info = new (std::nothrow) joiner::TrackInfo{};
    *trackInfo = info;
    if (!info) return NX_ERROR_UNREADABLE;
    if (!tsPath || !*tsPath) return Settle(*info, NX_ERROR_ARGUMENT, "No transport stream was named.");
    return Run(*info, [&] {
        auto survey = std::make_unique<joiner::ClipSurvey>();
        survey->path = tsPath;
        joiner::Progress progress(progressCallback);
        joiner::ScanPackets(*survey, progress);
        joiner::SurveyStreams(*survey, progress);
        info->head.total = static_cast<float>(joiner::AlignedUnitCount(*survey));
        info->survey = survey.release();
    });
}

__attribute__((visibility("default"))) int32_t nx_ts_cbdfolder(const char* folder, void* trackInfo, int32_t mode) {
    if (!trackInfo) return NX_ERROR_ARGUMENT;
    joiner::TrackInfo& info = *static_cast<joiner::TrackInfo*>(trackInfo);
    if (!info.survey) return info.head.status != 0 ? info.head.status : NX_ERROR_ARGUMENT;
    if (mode != NX_MODE_BLURAY_FOLDER)
        return Settle(info, NX_ERROR_MODE, "The muxer library writes Blu-ray folders only (mode 5).");
    if (!folder || !*folder) return Settle(info, NX_ERROR_ARGUMENT, "No folder was named for the Blu-ray folder.");
    return Run(info, [&] {
        joiner::Progress progress(progressCallback);
        joiner::WriteDiscFolder(*info.survey, folder, progress);
    });
}

__attribute__((visibility("default"))) int32_t nx_ts_freetrackinfo(void* trackInfo) {
    if (!trackInfo) return NX_ERROR_ARGUMENT;
    joiner::TrackInfo* info = static_cast<joiner::TrackInfo*>(trackInfo);
    delete info->survey;
    delete info;
    return 0;
}

}  // extern "C"
