// operations.cpp: mirlan-batch's operations, read from the command line and
// run. They are the rows of the table of processing/operations.h, which the
// editor's commands run too, with the numbers its controls would hold.
#include "batch/operations.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "image/formats.h"
#include "image/image.h"
#include "processing/operations.h"

namespace batch {

namespace {

using mirlan::Operation;
using mirlan::Param;
using mirlan::ParamKind;

int Int(double v) { return static_cast<int>(v); }

// The operations offered on the command line: every one but those that only
// undo another.
const Operation *Find(const char *name)
{
    const Operation *op = mirlan::FindOperation(name);
    return op && !op->internal ? op : nullptr;
}

// The point (X, Y) of an operation that takes one. The editor's point is
// always on the picture, so one outside it is an error here.
bool PointInside(const CImage &img, const Step &step, std::string &error)
{
    for (int i = 0; i + 1 < step.operation->count; ++i) {
        if (step.operation->params[i].kind != ParamKind::kCoordinate)
            continue;
        const int x = Int(step.values[i]), y = Int(step.values[i + 1]);
        if (x < img.width && y < img.height)
            return true;
        error = "le point (" + std::to_string(x) + ", " + std::to_string(y) + ") est hors de l'image de " +
                std::to_string(img.width) + " x " + std::to_string(img.height) + " pixels";
        return false;
    }
    return true;
}

// A whole decimal number (an integer when the parameter asks for one) within
// the parameter's range.
bool ReadNumber(const char *text, const Param &param, double &value)
{
    const mirlan::ParamRange p = mirlan::RangeOf(param.kind);
    char *end = nullptr;
    errno = 0;
    if (p.integer) {
        const long n = std::strtol(text, &end, 10);
        value = static_cast<double>(n);
    } else {
        value = std::strtod(text, &end);
    }
    return end != text && *end == '\0' && errno == 0 && std::isfinite(value) && value >= p.min &&
           value <= p.max;
}

std::string Range(const Param &param)
{
    const mirlan::ParamRange p = mirlan::RangeOf(param.kind);
    char text[64];
    if (p.integer)
        std::snprintf(text, sizeof text, "un entier de %d à %d", Int(p.min), Int(p.max));
    else
        std::snprintf(text, sizeof text, "un nombre de %g à %g", p.min, p.max);
    return text;
}

}  // namespace

bool ParseSteps(int count, const char *const *args, std::vector<Step> &steps, std::string &error)
{
    steps.clear();
    for (int i = 0; i < count;) {
        const Operation *op = Find(args[i]);
        if (!op) {
            error = std::string("opération inconnue « ") + args[i] + " » (voir --help)";
            return false;
        }
        ++i;
        Step step{op, {}};
        for (int k = 0; k < op->count; ++k) {
            const Param &p = op->params[k];
            if (i >= count) {
                error = std::string("« ") + op->name + " » attend " + p.name + " : " + Range(p);
                return false;
            }
            double value;
            if (!ReadNumber(args[i], p, value)) {
                error = std::string("« ") + op->name + " » : " + p.name + " = « " + args[i] +
                        " » n'est pas " + Range(p);
                return false;
            }
            step.values.push_back(value);
            ++i;
        }
        steps.push_back(step);
    }
    return true;
}

bool RunSteps(CImage *img, const std::vector<Step> &steps, std::string &error)
{
    for (const Step &step : steps) {
        std::string why;
        if (!PointInside(*img, step, why)) {
            error = std::string("« ") + step.operation->name + " » : " + why;
            return false;
        }
        step.operation->run(img, step.values.data());
    }
    return true;
}

std::string WritableExtensions()
{
    std::string list;
    for (const mirlan::ImageFormat *format : mirlan::WritableFormats())
        for (const std::string &extension : mirlan::Extensions(*format))
            list += (list.empty() ? "." : ", .") + extension;
    return list;
}

void PrintHelp(std::FILE *out)
{
    std::string read;
    for (const mirlan::ImageFormat &format : mirlan::Formats())
        read += (read.empty() ? "" : ", ") + std::string(format.name);
    std::fprintf(out,
                 "Usage : mirlan-batch [--quality N] ENTRÉE SORTIE [OPÉRATION [VALEURS]]...\n"
                 "\n"
                 "Ouvre ENTRÉE comme l'éditeur Mirlan, applique les opérations dans l'ordre\n"
                 "donné et enregistre le résultat dans SORTIE, qui n'est remplacé que si tout\n"
                 "a réussi.\n"
                 "\n"
                 "Formats lus (reconnus à leur contenu, quel que soit le nom) :\n"
                 "  %s\n"
                 "Formats écrits (choisis par l'extension de SORTIE) :\n"
                 "  %s\n"
                 "\n"
                 "  --quality N   qualité d'une SORTIE JPEG, de 1 à 100 (90 par défaut)\n"
                 "\n"
                 "Opérations :\n",
                 read.c_str(), WritableExtensions().c_str());
    for (const Operation &op : mirlan::Operations()) {
        if (op.internal)
            continue;
        std::string usage = op.name;
        for (int i = 0; i < op.count; ++i)
            usage += std::string(" ") + op.params[i].name;
        std::fprintf(out, "  %-34s %s\n", usage.c_str(), op.help);
    }
    const mirlan::ParamRange sides = mirlan::RangeOf(ParamKind::kSide);
    std::fprintf(out,
                 "\n"
                 "Valeurs : G R V B C S entiers de -100 à 100 (réglages) ; R V B de 0 à 255\n"
                 "(couleur courante) ; X Y point en pixels de l'image, (0, 0) en haut à gauche ;\n"
                 "VALEUR de 0.1 à 10 ; L H de %d à %d.\n"
                 "\n"
                 "Code de sortie : 0 en cas de succès, 1 si l'image ne peut être lue, traitée\n"
                 "ou écrite, 2 si la ligne de commande est incorrecte.\n",
                 Int(sides.min), Int(sides.max));
}

}  // namespace batch
