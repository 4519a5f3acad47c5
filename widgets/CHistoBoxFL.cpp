// CHistoBoxFL.cpp: the histogram page: path, size line, and the four
// histograms with their colour ramps and statistics lines.
#include "widgets/CHistoBoxFL.h"

#include <FL/fl_draw.H>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "image/image.h"
#include "processing/histogramme.h"

namespace {

const int kLayers = 4;
const int kAllShownHeight = 850;
const int kMinWidth = 530;

// The colour of value i in the ramp of a layer.
Fl_Color RampColour(int layer, int i)
{
    const uchar v = static_cast<uchar>(i);
    switch (layer) {
    case 1:
        return fl_rgb_color(v, 0, 0);
    case 2:
        return fl_rgb_color(0, v, 0);
    case 3:
        return fl_rgb_color(0, 0, v);
    default:
        return fl_rgb_color(v, v, v);
    }
}

char *NewText()
{
    char *text = new char[CHistoBoxFL::kTextSize];
    text[0] = '\0';
    return text;
}

}  // namespace

CHistoBoxFL::CHistoBoxFL(int x, int y, int w, int h, const char *label)
    : Fl_Widget(x, y, w, h, label), path(nullptr), txtInfos(NewText()), txtLum(NewText()),
      txtRouge(NewText()), txtVert(NewText()), txtBleu(NewText()), hauteur(kAllShownHeight), largeur(10),
      aff{1, 1, 1, 1}, histo(new CHistogramme()), pending(nullptr)
{
}

CHistoBoxFL::~CHistoBoxFL()
{
    delete[] path;
    delete[] txtInfos;
    delete[] txtLum;
    delete[] txtRouge;
    delete[] txtVert;
    delete[] txtBleu;
    delete histo;
}

void CHistoBoxFL::SetImage(const CImage *img)
{
    if (!img)
        return;
    pending = img;
    std::snprintf(txtInfos, kTextSize, "Width = %d, Height = %d, Bits per pixel = %d", img->width, img->height,
                  img->bpp);
    redraw();
}

void CHistoBoxFL::Computed() const
{
    if (!pending)
        return;
    histo->CalcHistos(pending);
    pending = nullptr;
    static const char *const kFormats[kLayers] = {
        "Couche luminosité : Moyenne = %d, Min = %d, Max = %d",
        "Couche rouge : Moyenne = %d, Min = %d, Max = %d",
        "Couche verte : Moyenne = %d, Min = %d, Max = %d",
        "Couche bleue : Moyenne = %d, Min = %d, Max = %d",
    };
    char *const texts[kLayers] = {txtLum, txtRouge, txtVert, txtBleu};
    for (int layer = 0; layer < kLayers; ++layer)
        std::snprintf(texts[layer], kTextSize, kFormats[layer], histo->moyenne[layer], histo->min[layer],
                      histo->max[layer]);
}

void CHistoBoxFL::SetImagePath(const char *newPath)
{
    // Copy first: the caller may hand back our own path.
    char *copy = nullptr;
    if (newPath) {
        copy = new char[std::strlen(newPath) + 1];
        std::strcpy(copy, newPath);
    }
    delete[] path;
    path = copy;
    fl_font(FL_COURIER, 14);
    largeur = std::max(kMinWidth, static_cast<int>(path ? fl_width(path) : 0) + 10);
    ShowSize();
}

// The widget takes its size as soon as it has something to show: a 0 x 0
// child of a scroll group is never drawn, so draw cannot be where it grows.
void CHistoBoxFL::ShowSize()
{
    if (path)
        size(largeur, hauteur);
}

void CHistoBoxFL::SetAff(int layer, int on)
{
    if (layer < 0 || layer >= kLayers)
        return;
    aff[layer] = on;
    hauteur += on ? kBand : -kBand;
    ShowSize();
}

int CHistoBoxFL::GetAff(int layer) const { return (layer >= 0 && layer < kLayers) ? aff[layer] : 0; }

const char *CHistoBoxFL::GetText(int layer) const
{
    Computed();
    const char *const texts[kLayers] = {txtLum, txtRouge, txtVert, txtBleu};
    return (layer >= 0 && layer < kLayers) ? texts[layer] : nullptr;
}

void CHistoBoxFL::Close()
{
    Computed();
    delete[] path;
    path = nullptr;
    size(0, 0);
}

void CHistoBoxFL::draw()
{
    if (!path)
        return;
    fl_color(FL_BLACK);
    fl_font(FL_COURIER, 14);
    fl_draw(path, x() + 10, y() + 20);
    fl_draw(txtInfos, x() + 10, y() + 40);
    DrawHistos(x(), y() + 205);
}

void CHistoBoxFL::DrawHistos(int ox, int oy)
{
    Computed();
    int largest[kLayers];
    histo->GetMaxHauteurs(&largest[0], &largest[1], &largest[2], &largest[3]);
    if (aff[0] || aff[1] || aff[2] || aff[3]) {
        fl_push_matrix();
        fl_translate(ox, oy);
        for (int i = 0; i < 256; ++i) {
            int k = 0;
            for (int layer = 0; layer < kLayers; ++layer) {
                if (!aff[layer])
                    continue;
                const double b = kBand * k;
                const double x = 2 * i + 10;
                const int c = histo->histos[layer][i];
                if (c != 0) {
                    fl_color(FL_BLACK);
                    fl_begin_line();
                    fl_vertex(x, b);
                    fl_vertex(x, b - static_cast<double>(c) / largest[layer] * 150);
                    fl_end_line();
                }
                fl_color(RampColour(layer, i));
                fl_begin_polygon();
                fl_vertex(x, b + 2);
                fl_vertex(x, b + 10);
                fl_vertex(x + 1, b + 2);
                fl_vertex(x + 1, b + 10);
                fl_end_polygon();
                ++k;
            }
        }
        fl_pop_matrix();
    }
    fl_color(FL_BLACK);
    const char *const texts[kLayers] = {txtLum, txtRouge, txtVert, txtBleu};
    int k = 0;
    for (int layer = 0; layer < kLayers; ++layer) {
        if (aff[layer]) {
            fl_draw(texts[layer], ox + 10, oy + kBand * k + 25);
            ++k;
        }
    }
}
