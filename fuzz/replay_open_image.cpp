// replay_open_image.cpp: runs every input of the given folders through the
// same steps as fuzz_open_image, in a build without sanitizers, so that
// valgrind can watch the toolkit's own readers (a system library that the
// fuzzer's sanitizers do not instrument) on everything the fuzzer found.
#include <FL/Fl_Shared_Image.H>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/fuzz_input.h"

namespace {

void NoAlert(const char *) {}

}  // namespace

int main(int argc, char **argv)
{
    fl_register_images();
    CImageBoxFL::alert_function = NoAlert;
    mirlan_fuzz::ScratchFile scratch;
    CImageBoxFL view(0, 0, 10, 10);
    int inputs = 0, faults = 0;
    for (int a = 1; a < argc; ++a) {
        for (const auto &entry : std::filesystem::directory_iterator(argv[a])) {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), {});
            if (const char *fault = mirlan_fuzz::RunOpenImage(view, bytes.data(), bytes.size(), scratch)) {
                std::printf("%s: %s\n", entry.path().c_str(), fault);
                ++faults;
            }
            ++inputs;
        }
    }
    std::printf("replayed %d inputs, %d inconsistent\n", inputs, faults);
    return faults == 0 ? 0 : 1;
}
