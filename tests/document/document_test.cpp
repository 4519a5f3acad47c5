// document_test.cpp: the document without a display. The history's rules as
// one table of sequences (change, undo, redo, open, save) and the picture's
// bytes and unchanged mark after each; the memory budget; and a change that
// runs out of memory leaving picture and history exactly as they were.
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <string>

#include "document/document.h"

namespace {

using mirlan::Document;

// A 5 x 3 picture whose bytes show any turn, mirror or change of depth.
std::unique_ptr<CImage> Picture(int bpp)
{
    auto img = std::make_unique<CImage>(5, 3, bpp);
    for (size_t i = 0; i < img->ByteCount(); ++i)
        img->data[i] = static_cast<unsigned char>(i * 29 + 7);
    return img;
}

std::string Bytes(const CImage *img)
{
    return img ? std::to_string(img->width) + "x" + std::to_string(img->height) + "x" + std::to_string(img->bpp) +
                     std::string(reinterpret_cast<const char *>(img->data), img->ByteCount())
               : "none";
}

// The same operations run straight on a copy: what the document must hold.
std::string Expected(int bpp, const std::string &names)
{
    auto img = Picture(bpp);
    for (size_t i = 0; i < names.size(); ++i) {
        static const char *const kOps[] = {"rot90h", "negatif", "egalisation", "couleursrvb", "noiretblanc",
                                           "symetrieh", "reglages"};
        const double gains[] = {30, -20, 10, 0, 45, -60};
        mirlan::FindOperation(kOps[names[i] - 'a'])->run(img.get(), gains);
    }
    return Bytes(img.get());
}

// Letters a to g run the operations above; U undo, R redo, T take back, S
// save, O open the picture again. After each sequence: the operations the picture
// should have had, and whether it differs from the state last opened or saved.
TEST(Document, HistoryRules)
{
    const struct { const char *steps, *picture; bool modified; } rows[] = {
        {"", "", false},
        {"a", "a", true},
        {"aU", "", false},
        {"aUU", "", false},                // nothing more to undo
        {"aUR", "a", true},
        {"aURR", "a", true},               // nothing more to redo
        {"abcdUUUU", "", false},           // reversed and stored steps alike
        {"bcdeUUUURRRR", "bcde", true},
        {"bcUUd", "d", true},              // a new change drops the steps ahead
        {"bcUUdR", "d", true},
        {"abSU", "a", true},
        {"abSUR", "ab", false},            // back at the saved state
        {"abSUUc", "c", true},             // the saved state is gone for good
        {"abSUUcU", "", true},
        {"abO", "", false},                // opening clears the history
        {"abOU", "", false},
        {"fgfUgU", "fg", true},
        {"gUgRg", "gg", true},
        {"abScT", "ab", false},            // taken back to the saved state
        {"abSUUcTR", "", true},            // with the steps ahead
    };
    for (int bpp : {24, 8})
        for (const auto &row : rows) {
            SCOPED_TRACE(std::string(row.steps) + " " + std::to_string(bpp));
            Document doc;
            doc.Adopt(Picture(bpp), "p.ppm", mirlan::FormatNamed("PNM"));
            const double gains[] = {30, -20, 10, 0, 45, -60};
            for (const char *s = row.steps; *s; ++s) {
                if (*s == 'U')
                    doc.Undo();
                else if (*s == 'R')
                    doc.Redo();
                else if (*s == 'T')
                    doc.TakeBack();
                else if (*s == 'S')
                    doc.Saved("q.tga", mirlan::FormatNamed("TGA"));
                else if (*s == 'O')
                    doc.Adopt(Picture(bpp), "p.ppm", mirlan::FormatNamed("PNM"));
                else {
                    static const char *const kOps[] = {"rot90h", "negatif", "egalisation", "couleursrvb",
                                                       "noiretblanc", "symetrieh", "reglages"};
                    doc.Apply(*mirlan::FindOperation(kOps[*s - 'a']), gains);
                }
            }
            EXPECT_EQ(Bytes(doc.Picture()), Expected(bpp, row.picture));
            EXPECT_EQ(doc.Modified(), row.modified);
        }
}

// Steps that store a picture are dropped oldest first past the budget,
// always keeping the newest; reversed ones store nothing.
TEST(Document, BudgetDropsTheOldestSteps)
{
    const size_t picture = CImage::ByteCount(5, 3, 24);
    const struct { size_t budget; const char *ops; int undoable; size_t bytes; } rows[] = {
        {0, "negatif rot90h symetrieh", 3, 0},
        {0, "egalisation egalisation egalisation", 1, picture},
        {2 * picture, "egalisation egalisation egalisation", 2, 2 * picture},
        {2 * picture, "egalisation negatif egalisation egalisation", 3, 2 * picture},
    };
    for (const auto &row : rows) {
        Document doc(row.budget);
        doc.Adopt(Picture(24), "p.ppm", mirlan::FormatNamed("PNM"));
        std::string ops = row.ops;
        int applied = 0;
        for (size_t at = 0, end; at < ops.size(); at = end + 1, ++applied) {
            end = std::min(ops.find(' ', at), ops.size());
            doc.Apply(*mirlan::FindOperation(ops.substr(at, end - at).c_str()), nullptr);
        }
        int undoable = 0;
        EXPECT_EQ(doc.HistoryBytes(), row.bytes) << row.ops;
        for (; doc.NextUndo(); ++undoable)
            doc.Undo();
        EXPECT_EQ(undoable, row.undoable) << row.ops;
        EXPECT_EQ(doc.Modified(), undoable < applied) << row.ops;  // the opened state dropped
    }
}

// An operation that runs out of memory part-way.
void ShortOfMemory(CImage *img, const double *)
{
    std::memset(img->data, 0, img->ByteCount());
    throw std::bad_alloc();
}

TEST(Document, FailedChangeLeavesEverythingAsItWas)
{
    for (mirlan::Reversal reversal : {mirlan::Reversal::kStored, mirlan::Reversal::kInverse}) {
        const mirlan::Operation failing = {"x", "X", nullptr, 0, "", 0, {}, ShortOfMemory, mirlan::Reversal::kStored,
                                           nullptr, nullptr, nullptr, false};
        Document doc;
        doc.Adopt(Picture(24), "p.ppm", mirlan::FormatNamed("PNM"));
        doc.Apply(*mirlan::FindOperation("egalisation"), nullptr);
        doc.Apply(*mirlan::FindOperation(reversal == mirlan::Reversal::kStored ? "negatif" : "rot90h"), nullptr);
        doc.Undo();
        const std::string before = Bytes(doc.Picture());
        const mirlan::Operation *redo = doc.NextRedo();
        EXPECT_THROW(doc.Apply(failing, nullptr), std::bad_alloc);
        EXPECT_EQ(Bytes(doc.Picture()), before);
        EXPECT_TRUE(doc.NextRedo() == redo && doc.NextUndo() == mirlan::FindOperation("egalisation"));
        EXPECT_TRUE(doc.Modified());
    }
}

TEST(Document, FailedOpenKeepsEverything)
{
    Document doc;
    doc.Adopt(Picture(8), "p.pgm", mirlan::FormatNamed("PNM"));
    doc.Apply(*mirlan::FindOperation("negatif"), nullptr);
    const CImage *picture = doc.Picture();
    EXPECT_EQ(doc.Open("/nonexistent/none.tga"), mirlan::ReadError::kUnreadable);
    EXPECT_TRUE(doc.Picture() == picture && doc.Modified() && doc.NextUndo() && doc.Path() == "p.pgm");
}

}  // namespace
