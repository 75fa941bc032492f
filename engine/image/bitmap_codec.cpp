#include "engine/image/bitmap_codec.h"

#include "engine/image/bitmap_codec_bmp.h"
#include "engine/image/bitmap_codec_dds.h"
#include "engine/image/bitmap_codec_gif.h"
#include "engine/image/bitmap_codec_ilbm.h"
#include "engine/image/bitmap_codec_jp2.h"
#include "engine/image/bitmap_codec_jpeg.h"
#include "engine/image/bitmap_codec_pcx.h"
#include "engine/image/bitmap_codec_png.h"
#include "engine/image/bitmap_codec_sgi.h"
#include "engine/image/bitmap_codec_sun_raster.h"
#include "engine/image/bitmap_codec_tga.h"

namespace zentac {

const BitmapCodec* FindBitmapCodec(const BitmapCodecTable& table, const String& extension) {
    for (const BitmapCodec& codec : table) {
        for (const String& candidate : codec.extensions) {
            if (String::Equal(candidate, extension, false)) return &codec;
        }
    }
    return nullptr;
}

BitmapCodecTable& BitmapCodecs() {
    // The built-in codecs, in the order that settles a shared extension.
    static BitmapCodecTable table = {
        TgaCodecInfo(),
        PcxCodecInfo(),
        SgiCodecInfo(),
        BmpCodecInfo(),
        JpegCodecInfo(),
        PngCodecInfo(),
        DdsCodecInfo(),
        Jp2CodecInfo(),
        SunRasterCodecInfo(),
        IlbmCodecInfo(),
        GifCodecInfo(),
    };
    return table;
}

}  // namespace zentac
