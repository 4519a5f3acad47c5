// codec_oracle.h: plain, pixel-by-pixel reference encoders and decoder of
// the TGA and BMP layouts, against which the block-wise codecs are checked.
#ifndef MIRLAN_TESTS_CODEC_ORACLE_H
#define MIRLAN_TESTS_CODEC_ORACLE_H

#include "image_test_util.h"

namespace oracle {

// The TGA file SaveTGA must write for img (8, 16, 24 or 32 bits).
testutil::Bytes EncodeTga(const CImage &img);
// The BMP file SaveBMP must write for img (8, 16, 24 or 32 bits).
testutil::Bytes EncodeBmp(const CImage &img);

// What LoadTGA must yield for a file: bytes missing at the end read as 0.
struct Decoded {
    int width = 0;
    int height = 0;
    int bpp = 0;
    testutil::Bytes pixels;
    bool noPixelData = false;  // the file ends before its first pixel: refused
};
// The file must hold a whole header of type 2 or 3, a supported depth and
// valid sides.
Decoded DecodeTga(const testutil::Bytes &file);

}  // namespace oracle

#endif
