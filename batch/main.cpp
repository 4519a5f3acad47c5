// main.cpp: mirlan-batch, the editor's operations from the command line.
//   mirlan-batch [--quality N] INPUT OUTPUT [OPERATION [VALUES]]...
// INPUT is opened exactly as the editor opens a file, the operations run in
// order with the editor's own engine calls, and OUTPUT is written in the
// format its extension names with the editor's writers, which replace the
// file only once it is whole. Needs no display.
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "batch/operations.h"
#include "image/formats.h"
#include "image/image.h"
#include "image/image_file.h"
#include "image/safe_file.h"
#include "version.h"

namespace {

enum ExitStatus { kSuccess = 0, kFailed = 1, kBadCommandLine = 2 };

int Fail(int status, const std::string &message)
{
    std::fprintf(stderr, "mirlan-batch : %s\n", message.c_str());
    return status;
}

bool IsHelp(const char *arg) { return std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0; }
bool IsVersion(const char *arg) { return std::strcmp(arg, "--version") == 0; }

// A photo of tens of megabytes is read, changed and written in a few tenths
// of a second, a fifth of which went to mapping its pages 4 KiB at a time.
// glibc puts its large blocks on transparent huge pages when its tunables ask
// for it, and reads them only at start: the program starts itself again
// once with the tunable set (and simply carries on if it cannot).
void UseHugePages(char **argv)
{
    static const char kTunable[] = "glibc.malloc.hugetlb=1";
    const char *current = std::getenv("GLIBC_TUNABLES");
    if (current && std::strstr(current, kTunable))
        return;
    // The program's own file by its name, so that it keeps its name in ps.
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0 || n >= static_cast<ssize_t>(sizeof self - 1))
        return;
    self[n] = '\0';
    const std::string value = current && *current ? std::string(current) + ":" + kTunable : kTunable;
    if (setenv("GLIBC_TUNABLES", value.c_str(), 1) == 0)
        execv(self, argv);
}

// Why the input could not be opened, in the user's words.
std::string ReadFailure(const char *path, mirlan::ReadError error, const mirlan::ImageFormat *format)
{
    const std::string file = std::string("« ") + path + " »";
    switch (error) {
    case mirlan::ReadError::kUnreadable:
        return "impossible de lire " + file + " : fichier absent ou illisible";
    case mirlan::ReadError::kTooLarge:
        return "image " + file + " trop grande : plus de 32767 pixels de côté";
    case mirlan::ReadError::kNoMemory:
        return "mémoire insuffisante pour charger l'image " + file;
    default:
        if (format)
            return "impossible de charger l'image " + file + " : fichier " + format->name + " endommagé ou incomplet";
        return "impossible de charger l'image " + file + " : format non reconnu";
    }
}

const char kNoMemory[] = "mémoire insuffisante pour traiter l'image";

// Takes "--quality N" out of the arguments; false with a message when N is
// not a whole number from 1 to 100.
bool TakeQuality(std::vector<const char *> &args, mirlan::WriteOptions &options, std::string &error)
{
    for (auto it = args.begin(); it != args.end();) {
        if (std::strcmp(*it, "--quality") != 0) {
            ++it;
            continue;
        }
        const char *value = it + 1 != args.end() ? it[1] : "";
        char *end = nullptr;
        const long quality = std::strtol(value, &end, 10);
        if (!*value || *end || quality < 1 || quality > 100) {
            error = std::string("la qualité JPEG « ") + value + " » doit être un entier de 1 à 100";
            return false;
        }
        options.jpegQuality = int(quality);
        it = args.erase(it, it + 2);
    }
    return true;
}

}  // namespace

int main(int argc, char **argv)
{
    // A file-size limit then fails a write like a full disk.
    signal(SIGXFSZ, SIG_IGN);
    for (int i = 1; i < argc; ++i)
        if (IsHelp(argv[i])) {
            batch::PrintHelp(stdout);
            return kSuccess;
        } else if (IsVersion(argv[i])) {
            std::printf("mirlan-batch %s (build %s)\n", MIRLAN_VERSION, MIRLAN_BUILD);
            return kSuccess;
        }
    std::vector<const char *> args(argv + 1, argv + argc);
    mirlan::WriteOptions options;
    std::string error;
    if (!TakeQuality(args, options, error))
        return Fail(kBadCommandLine, error);
    if (args.size() < 2)
        return Fail(kBadCommandLine, "il faut une image d'entrée et une image de sortie (voir --help)");
    const char *input = args[0];
    const char *output = args[1];
    const mirlan::ImageFormat *outputFormat = mirlan::WritableFormatOfName(output);
    if (!outputFormat)
        return Fail(kBadCommandLine, std::string("la sortie « ") + output + " » doit finir par " +
                                         batch::WritableExtensions());
    std::vector<batch::Step> steps;
    if (!batch::ParseSteps(int(args.size()) - 2, args.data() + 2, steps, error))
        return Fail(kBadCommandLine, error);

    UseHugePages(argv);
    // Every allocation sized by the picture or an operation may fail under a
    // memory limit; the output is written last, so short memory ends here
    // with a message and the output file untouched.
    try {
        mirlan::ReadError why = mirlan::ReadError::kNone;
        const mirlan::ImageFormat *inputFormat = nullptr;
        std::unique_ptr<CImage> img(mirlan::ReadImageFile(input, &why, &inputFormat));
        if (!img)
            return Fail(kFailed, ReadFailure(input, why, inputFormat));
        if (!batch::RunSteps(img.get(), steps, error))
            return Fail(kFailed, error);
        if (outputFormat->write(img.get(), output, options) != CImage::kOk)
            return Fail(kFailed, std::string("impossible d'écrire « ") + output + " » : " +
                                     mirlan::DescribeSaveError(mirlan::LastSaveError()));
    } catch (const std::bad_alloc &) {
        return Fail(kFailed, kNoMemory);
    }
    return kSuccess;
}
