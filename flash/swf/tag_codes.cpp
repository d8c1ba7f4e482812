#include "flash/swf/tag_codes.h"

#include <string>

namespace swf {

const char* tagName(std::uint16_t code) {
    switch (TagCode(code)) {
#define NAME(x) case TagCode::x: return #x;
        NAME(End) NAME(ShowFrame) NAME(DefineShape) NAME(PlaceObject) NAME(RemoveObject)
        NAME(DefineBits) NAME(DefineButton) NAME(JpegTables) NAME(SetBackgroundColor)
        NAME(DefineFont) NAME(DefineText) NAME(DoAction) NAME(DefineFontInfo) NAME(DefineSound)
        NAME(StartSound) NAME(DefineButtonSound) NAME(SoundStreamHead) NAME(SoundStreamBlock)
        NAME(DefineBitsLossless) NAME(DefineBitsJpeg2) NAME(DefineShape2) NAME(DefineButtonCxform)
        NAME(Protect) NAME(PlaceObject2) NAME(RemoveObject2) NAME(DefineShape3) NAME(DefineText2)
        NAME(DefineButton2) NAME(DefineBitsJpeg3) NAME(DefineBitsLossless2) NAME(DefineEditText)
        NAME(DefineSprite) NAME(FrameLabel) NAME(SoundStreamHead2) NAME(DefineMorphShape)
        NAME(DefineFont2) NAME(ExportAssets) NAME(ImportAssets) NAME(EnableDebugger)
        NAME(DoInitAction) NAME(DefineVideoStream) NAME(VideoFrame) NAME(DefineFontInfo2)
        NAME(EnableDebugger2) NAME(ScriptLimits) NAME(SetTabIndex) NAME(FileAttributes)
        NAME(PlaceObject3) NAME(ImportAssets2) NAME(DefineFontAlignZones) NAME(CsmTextSettings)
        NAME(DefineFont3) NAME(SymbolClass) NAME(Metadata) NAME(DefineScalingGrid) NAME(DoAbc)
        NAME(DefineShape4) NAME(DefineMorphShape2) NAME(DefineSceneAndFrameLabelData)
        NAME(DefineBinaryData) NAME(DefineFontName) NAME(StartSound2) NAME(DefineBitsJpeg4)
        NAME(DefineFont4)
#undef NAME
    }
    static thread_local std::string unknown;
    unknown = "tag " + std::to_string(code);
    return unknown.c_str();
}

}  // namespace swf
