// The profile files the format catalogue and its menus name, for the tests
// of the shipped ini/ folder.
#pragma once

#include <string>
#include <vector>

namespace kinolux::testing {

inline const std::vector<std::string>& CatalogueProfileFiles() {
    static const std::vector<std::string> files = {
        "avchd.ini", "hd_wmv.ini", "hd_mp4.ini", "hd_flv264.ini", "hd_mov.ini", "hd_ts.ini", "hd_xvidavi.ini",
        "hd_divxavi.ini", "mp4.ini", "h264mp4.ini", "3gp.ini", "3g2amr.ini", "3g2aac.ini", "zune.ini", "wmv.ini",
        "asf.ini", "sumsungdc.ini", "casiodc.ini", "kodakdc.ini", "ipodmov.ini", "ipodmp4.ini", "ipodh264.ini",
        "iphonemp4.ini", "iphoneh264.ini", "appletvmp4.ini", "appletvh264.ini", "psp.ini",
        "NokiaN70n90n91Mpeg4.ini", "NokiaS3602ndedition.ini", "NokiaS3601stedition.ini",
        "NokiaN71n73n80n91n92n93H264.ini", "Nokia325032303gp.ini", "NokiaN70n903gp.ini", "NOKIAAMR176x1441064.ini",
        "NOKIAAMR128x961064.ini", "sony320x240.ini", "sony176x144.ini", "sony128x96.ini", "blackberry81xxavi.ini",
        "blackberry88xxavi.ini", "blackberry88xxmp4.ini", "divxavi.ini", "xvidavi.ini", "MsMpeg4.ini",
        "msmpeg4v2.ini", "wmv2avi.ini", "mjpgavi.ini", "huffyuv.ini", "h264avi.ini", "swf.ini", "flv.ini", "gif.ini",
        "ntscdvd.ini", "paldvd.ini", "ntscsvcd.ini", "palsvcd.ini", "ntscvcd.ini", "palvcd.ini", "mpg.ini", "mov.ini",
        "ts.ini", "mkv.ini", "bmpimg.ini", "pngimg.ini", "jpegimg.ini", "tgaimg.ini", "tiffimg.ini", "wav.ini",
        "cd.ini", "mp3.ini", "mp2.ini", "aac.ini", "m4a.ini", "wma.ini", "flac.ini", "amr.ini", "awb.ini", "ogg.ini",
        "mmf.ini", "ac3.ini", "au.ini"};
    return files;
}

inline std::string ShippedIniFolder() { return std::string(KINOLUX_SOURCE_DIR) + "/ini/"; }

}  // namespace kinolux::testing
