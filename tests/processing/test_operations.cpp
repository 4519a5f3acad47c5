// test_operations.cpp: the table of operations: every operation said to be
// reversible is undone byte for byte by its inverse, at both depths.
#include <gtest/gtest.h>

#include <cstring>

#include "oracle.h"
#include "processing/operations.h"

namespace {

TEST(Operations, EveryReversibleOneIsUndoneExactly)
{
    int checked = 0;
    for (const mirlan::Operation &op : mirlan::Operations()) {
        const mirlan::Operation *inverse = mirlan::InverseOf(op);
        if (!inverse)
            continue;
        for (int bytes : {1, 3})
            for (auto [w, h] : {std::pair{7, 5}, {1, 9}, {65, 129}}) {
                auto before = testimg::Random(w, h, bytes, unsigned(w * h + bytes));
                if (op.exactOn && !op.exactOn(*before))
                    continue;
                std::unique_ptr<CImage> img(before->Copy());
                op.run(img.get(), nullptr);
                inverse->run(img.get(), nullptr);
                EXPECT_TRUE(img->width == w && img->height == h && img->bpp == before->bpp &&
                            std::memcmp(img->data, before->data, before->ByteCount()) == 0)
                    << op.name << " " << w << "x" << h << " " << bytes;
                ++checked;
            }
    }
    EXPECT_GE(checked, 6 * 6 + 3);  // four turns and mirrors, the negative; grey to colour
}

}  // namespace
