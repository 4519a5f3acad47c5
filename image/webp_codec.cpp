// webp_codec.cpp: WebP files read through libwebp (see pixel_decoders.h).
//
// libwebp decodes from memory, so the whole file is read first. The header's
// sides (the canvas of an extended file) are checked before any pixel is
// allocated. A still picture is decoded straight into the image; an
// animation gives its first frame as libwebpdemux composes it on the canvas.
#include <webp/decode.h>
#include <webp/demux.h>

#include <cstring>
#include <initializer_list>
#include <memory>

#include "image/image.h"
#include "image/page_hint.h"
#include "image/pixel_decoders.h"

namespace mirlan {

namespace {

using AnimDecoder = std::unique_ptr<WebPAnimDecoder, decltype(&WebPAnimDecoderDelete)>;

// The first frame of an animation into img (whose sides are the canvas'),
// its alpha dropped when img has none.
bool DecodeFirstFrame(const unsigned char *data, size_t size, CImage &img)
{
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options))
        return false;
    options.color_mode = MODE_RGBA;
    options.use_threads = 0;
    const WebPData whole = {data, size};
    AnimDecoder decoder(WebPAnimDecoderNew(&whole, &options), WebPAnimDecoderDelete);
    WebPAnimInfo info;
    uint8_t *canvas = nullptr;
    int timestamp = 0;
    if (!decoder || !WebPAnimDecoderGetInfo(decoder.get(), &info) || info.canvas_width != uint32_t(img.width) ||
        info.canvas_height != uint32_t(img.height) || !WebPAnimDecoderGetNext(decoder.get(), &canvas, &timestamp))
        return false;
    const size_t pixels = size_t(img.width) * size_t(img.height);
    if (img.bpp == 32) {
        std::memcpy(img.data, canvas, pixels * 4);
        return true;
    }
    for (size_t i = 0; i < pixels; ++i)
        std::memcpy(img.data + 3 * i, canvas + 4 * i, 3);
    return true;
}

bool DecodeStill(const unsigned char *data, size_t size, CImage &img)
{
    const int stride = int(img.RowBytes());
    return img.bpp == 32 ? WebPDecodeRGBAInto(data, size, img.data, img.ByteCount(), stride) != nullptr
                         : WebPDecodeRGBInto(data, size, img.data, img.ByteCount(), stride) != nullptr;
}

}  // namespace

CImage *DecodeWebp(ByteSource &file, ReadError *error)
{
    *error = ReadError::kBadFormat;
    const size_t size = file.Size();
    const unsigned char *data = size ? file.Get(0, size) : nullptr;
    WebPBitstreamFeatures features;
    if (!data || WebPGetFeatures(data, size, &features) != VP8_STATUS_OK)
        return nullptr;
    for (int side : {features.width, features.height})
        if (CheckSide(side) != ReadError::kNone) {
            *error = CheckSide(side);
            return nullptr;
        }
    std::unique_ptr<CImage> img(NewImage(features.width, features.height, features.has_alpha ? 32 : 24, error));
    if (!img)
        return nullptr;
    AdviseHugePages(img->data, img->ByteCount());
    const bool decoded = features.has_animation ? DecodeFirstFrame(data, size, *img) : DecodeStill(data, size, *img);
    *error = decoded ? ReadError::kNone : ReadError::kBadFormat;
    return decoded ? img.release() : nullptr;
}

}  // namespace mirlan
