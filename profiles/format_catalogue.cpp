#include "profiles/format_catalogue.h"

#include <array>
#include <map>
#include <vector>

namespace kinolux {

namespace {

constexpr std::array<FormatButton, 7> kHdVideo{{
    {1200, "btnAVCHDInfo", "btnAVCHDTooltip", "avchd.ini", 0},
    {1210, "btnHDWMVInfo", "btnHDWMVTooltip", "hd_wmv.ini", 0},
    {1211, "btnHDMP4Info", "btnHDMP4Tooltip", "hd_mp4.ini", 0},
    {1212, "btnHDFLVInfo", "btnHDFLVTooltip", "hd_flv264.ini", 0},
    {1213, "btnHDMOVInfo", "btnHDMOVTooltip", "hd_mov.ini", 0},
    {1209, "btnHDAVIInfo", "btnHDAVITooltip", nullptr, 272},
    {1214, "btnHDTSInfo", "btnHDTSTooptip", "hd_ts.ini", 0},
}};
constexpr std::array<FormatButton, 10> kMobile{{
    {1162, "btnMpeg4VideoInfo", "btnMpeg4VideoTooltip", "mp4.ini", 0},
    {1164, "btnH264AVCMpeg4Info", "btnH264AVCMpeg4Tooltip", "h264mp4.ini", 0},
    {1165, "btn3gpInfo", "btn3gpTooltip", nullptr, 202},
    {1166, "btnZuneInfo", "btnZuneTooltip", nullptr, 203},
    {1167, "btnDCInfo", "btnDCTooltip", nullptr, 217},
    {1168, "btnAppleInfo", "btnAppleTooltip", nullptr, 207},
    {1169, "btnPSPInfo", "btnPSPTooltip", "psp.ini", 0},
    {1170, "btnNokiaPhoneInfo", "btnNokiaPhoneTooltip", nullptr, 211},
    {1171, "btnSonyPhoneInfo", "btnSonyPhoneTooltip", nullptr, 212},
    {1198, "btnBlackBerryInfo", "btnBlackBerryTooltip", nullptr, 267},
}};
constexpr std::array<FormatButton, 5> kAvi{{
    {1172, "btnDivxXvidAviInfo", "btnDivxXvidAviTooltip", nullptr, 210},
    {1163, "btnMSAviInfo", "btnMSAviTooltip", nullptr, 209},
    {1173, "btnMjpegAviInfo", "btnMjpegAviTooltip", "mjpgavi.ini", 0},
    {1174, "btnLosslessAviInfo", "btnLosslessAviTooltip", "huffyuv.ini", 0},
    {1175, "btnH264AviInfo", "btnH264AviTooltip", "h264avi.ini", 0},
}};
constexpr std::array<FormatButton, 3> kWeb{{
    {1176, "btnSwfVideoInfo", "btnSwfVideoTooltip", "swf.ini", 0},
    {1177, "btnFlvVideoInfo", "btnFlvVideoTooltip", "flv.ini", 0},
    {1178, "btnGifInfo", "btnGifTooltip", "gif.ini", 0},
}};
constexpr std::array<FormatButton, 4> kMpeg{{
    {1179, "btnDVDInfo", "btnDVDTooltip", nullptr, 206},
    {1180, "btnSVCDInfo", "btnSVCDTooltip", nullptr, 213},
    {1181, "btnVCDInfo", "btnVCDTooltip", nullptr, 214},
    {1182, "btnMpegInfo", "btnMpegTooltip", "mpg.ini", 0},
}};
constexpr std::array<FormatButton, 8> kOther{{
    {1183, "btnMpeg4MovInfo", "btnMpeg4MovTooltip", "mov.ini", 0},
    {1184, "btnMpeg2TSInfo", "btnMpeg2TSTooltip", "ts.ini", 0},
    {1197, "btnMKVVideoInfo", "btnMKVVideoTooltip", "mkv.ini", 0},
    {1189, "btmBMPSeqInfo", "btmBMPSeqTooltip", "bmpimg.ini", 0},
    {1192, "btnPNGSeqInfo", "btnPNGSeqTooltip", "pngimg.ini", 0},
    {1185, "btnJpegInfo", "btnJpegTooltip", "jpegimg.ini", 0},
    {1187, "btnTGASeqInfo", "btnTGASeqTooltip", "tgaimg.ini", 0},
    {1188, "btnTiffSeqInfo", "btnTiffSeqTooltip", "tiffimg.ini", 0},
}};
constexpr std::array<FormatButton, 10> kAudio{{
    {1191, "btnCDWavAudioInfo", "btnCDWavAudioTooltip", nullptr, 215},
    {1194, "btnMp3AudioInfo", "btnMp3AudioTooltip", nullptr, 208},
    {1203, "btnAacAudioInfo", "btnAacAudioTooltip", nullptr, 204},
    {1186, "btnWmaAudioInfo", "btnWmaAudioTooltip", "wma.ini", 0},
    {1201, "btnFlacAudioInfo", "btnFlacAudioTooltip", "flac.ini", 0},
    {1190, "btnAmrAwbAudioInfo", "btnAmrAwbAudioTooltip", nullptr, 205},
    {1196, "btnOggAudioInfo", "btnOggAudioTooltip", "ogg.ini", 0},
    {1202, "btnMmfAudioInfo", "btnMmfAudioTooltip", "mmf.ini", 0},
    {1193, "btnAc3AudioInfo", "btnAc3AudioTooltip", "ac3.ini", 0},
    {1195, "btnAuAudioInfo", "btnAuAudioTooltip", "au.ini", 0},
}};

constexpr std::array<FormatGroup, 7> kGroups{{
    {1199, "strHDVideoInfo", kHdVideo},
    {1161, "strMobileInfo", kMobile},
    {1204, "strAviInfo", kAvi},
    {1205, "strWebInfo", kWeb},
    {1206, "strMpegInfo", kMpeg},
    {1207, "strOtherInfo", kOther},
    {1208, "strAudioInfo", kAudio},
}};

const std::map<int, std::vector<FormatVariant>>& Menus() {
    static const std::map<int, std::vector<FormatVariant>> menus{
        {202, {{32782, "3gp video", "3gp.ini", false},
               {32783, "3g2 video (amr audio)", "3g2amr.ini", false},
               {32784, "3g2 video (aac audio)", "3g2aac.ini", false}}},
        {203, {{32785, "Zune wmv", "zune.ini", false},
               {32786, "Wmv video", "wmv.ini", false},
               {32787, "Asf video", "asf.ini", false}}},
        {204, {{32788, "Aac audio", "aac.ini", false}, {32789, "Mp4 audio", "m4a.ini", false}}},
        {205, {{32790, "Amr audio", "amr.ini", false}, {32791, "Awb audio", "awb.ini", false}}},
        {206, {{32792, "NTSC for burning DVD", "ntscdvd.ini", false},
               {32793, "PAL for burning DVD", "paldvd.ini", false}}},
        {207, {{32794, "iPod mov mpeg4", "ipodmov.ini", false},
               {32795, "iPod mpeg4", "ipodmp4.ini", false},
               {32796, "iPod AVC H264", "ipodh264.ini", true},
               {32833, "iPhone mpeg4", "iphonemp4.ini", false},
               {32834, "iPhone AVC H264", "iphoneh264.ini", true},
               {32835, "Apple TV mpeg4", "appletvmp4.ini", false},
               {32836, "Apple TV AVC H264", "appletvh264.ini", false}}},
        {208, {{32797, "Mp3 audio", "mp3.ini", false}, {32798, "Mp2 audio", "mp2.ini", false}}},
        {209, {{32799, "MS mpeg4 avi", "MsMpeg4.ini", false},
               {32800, "MS mpeg4v2 avi", "msmpeg4v2.ini", false},
               {32801, "MS wmv2 avi", "wmv2avi.ini", false}}},
        {210, {{32802, "Divx mpeg4 avi", "divxavi.ini", false}, {32803, "Xvid mpeg4 avi", "xvidavi.ini", false}}},
        {211,
         {{32804, "S60 3rd edition baseline (E60, E61, E70, N80, N91, N92, N71, N73, N93)   mpeg4",
           "NokiaN70n90n91Mpeg4.ini", false},
          {32805,
           "S60 2nd edition baseline (3250, 5500, E50, 6260, 3230, 6670, 7610, 6620, 6630, 6680, 6681, 6682, N70, "
           "N72, N90)",
           "NokiaS3602ndedition.ini", false},
          {32806, "S60 1st edition baseline (6600, 3600, 3620, 3580, 3660, N-Gage, N-Gage QD)",
           "NokiaS3601stedition.ini", true},
          {32807, "NOKIA N71, N73, N80, N91, H93 H.264/AVC", "NokiaN71n73n80n91n92n93H264.ini", false},
          {32808, "NOKIA N70, N72, N90 mpeg4", "NokiaN70n90n91Mpeg4.ini", true},
          {32809, "NOKIA 3250, 3230 3gp", "Nokia325032303gp.ini", false},
          {32809, "NOKIA 6155, 6155i, 6260, 6620, 6630, 6230i, 6670, 6680, 6681, 6682 3gp",
           "Nokia325032303gp.ini", false},
          {32809, "NOKIA 7600, 7610, 7710, 7270 3gp", "Nokia325032303gp.ini", false},
          {32809, "NOKIA 8800, 8801 3gp", "Nokia325032303gp.ini", false},
          {32809, "NOKIA 9300, 9500 3gp", "Nokia325032303gp.ini", false},
          // The shipped profiles have a file of its own for this phone.
          {32814, "NOKIA N70, N90 3gp", "NokiaN70n903gp.ini", true},
          {32815, "NOKIA 3580, 3600, 3620, 3660 3gp", "NOKIAAMR176x1441064.ini", false},
          {32815, "NOKIA N-Gage, N-Gage QD 3gp", "NOKIAAMR176x1441064.ini", false},
          {32815, "NOKIA 6600, 6822 3gp", "NOKIAAMR176x1441064.ini", false},
          {32815, "NOKIA 7260 3gp", "NOKIAAMR176x1441064.ini", true},
          {32819, "NOKIA 3125, 3155, 3155i, 3220 3gp", "NOKIAAMR128x961064.ini", false},
          {32819, "NOKIA 5140 3gp", "NOKIAAMR128x961064.ini", false},
          {32819,
           "NOKIA 6020, 6021, 6101, 6102, 6170, 6152, 6220, 6230, 6235, 6235i, 6255, 6650, 6651, 6810, 6820 3gp ",
           "NOKIAAMR128x961064.ini", false},
          {32819, "NOKIA 7200, 7280 3gp", "NOKIAAMR128x961064.ini", false}}},
        {212, {{32823, "Sony W900, W950, M600, K790, 3gp(320*240)", "sony320x240.ini", false},
               {32824, "Sony K700, S700, K750, W800, W550, W810 mp4(176*144)", "sony176x144.ini", false},
               {32825, "Sony K300, J300 3gp(128*96)", "sony128x96.ini", false}}},
        {213, {{32779, "NTSC for burning SVCD", "ntscsvcd.ini", false},
               {32778, "PAL for burning SVCD", "palsvcd.ini", false}}},
        {214, {{32773, "NTSC for burning VCD", "ntscvcd.ini", false},
               {32772, "PAL for burning VCD", "palvcd.ini", false}}},
        {215, {{32826, "MS wav audio", "wav.ini", false}, {32827, "CD audio for burning", "cd.ini", false}}},
        {217, {{32830, "Samsung 155W mp4", "sumsungdc.ini", false},
               {32831, "CASIO Z600 avi", "casiodc.ini", false},
               {32832, "Kodak DC mov", "kodakdc.ini", false}}},
        {267, {{32865, "BlackBerry Pearl 81xx", "blackberry81xxavi.ini", false},
               {32866, "BlackBerry Pearl 88xx avi", "blackberry88xxavi.ini", false},
               {32867, "BlackBerry Pearl 88xx mp4", "blackberry88xxmp4.ini", false}}},
        {272, {{32868, "HD-XivD AVI", "hd_xvidavi.ini", false}, {32869, "HD-DivX AVI", "hd_divxavi.ini", false}}},
    };
    return menus;
}

}  // namespace

std::span<const FormatGroup> FormatGroups() { return kGroups; }

std::span<const FormatVariant> FormatVariants(int menu) {
    const auto found = Menus().find(menu);
    if (found == Menus().end()) return {};
    return found->second;
}

}  // namespace kinolux
