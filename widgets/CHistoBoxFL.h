// CHistoBoxFL.h: the histogram page. Shows the image's path, its size line,
// and the luminosity, red, green and blue histograms stacked in bands of 200
// pixels, each with its colour ramp and its statistics line.
#ifndef MIRLAN_CHISTOBOXFL_H
#define MIRLAN_CHISTOBOXFL_H

#include <FL/Fl_Widget.H>

class CImage;
class CHistogramme;

class CHistoBoxFL : public Fl_Widget {
public:
    // Size of each text line's buffer, with its terminating zero.
    static constexpr int kTextSize = 64;
    // Height of one histogram band.
    static constexpr int kBand = 200;

    CHistoBoxFL(int x, int y, int w, int h, const char *label = 0);
    ~CHistoBoxFL() override;

    // Shows img, which must live until the next SetImage or Close: its size
    // line at once, its four histograms and their lines once drawn or read
    // (a hidden page costs nothing after a change).
    void SetImage(const CImage *img);
    // Keeps a copy of path to show and sizes the width to fit it.
    void SetImagePath(const char *path);
    // Shows (on != 0) or hides layer 0 to 3 (luminosity, red, green, blue)
    // and grows or shrinks the height by one band.
    void SetAff(int layer, int on);
    // Shows nothing any more (the histograms and texts are kept, computed).
    void Close();

    const char *GetInfos() const { return txtInfos; }
    // The statistics line of layer 0 to 3.
    const char *GetText(int layer) const;
    int GetHauteur() const { return hauteur; }
    int GetLargeur() const { return largeur; }
    int GetAff(int layer) const;
    const CHistogramme *GetHistogramme() const { return Computed(), histo; }

    void draw() override;
    // Draws the shown histograms, ramps and statistics with origin (x, y).
    void DrawHistos(int x, int y);

private:
    char *path;
    char *txtInfos;
    char *txtLum;
    char *txtRouge;
    char *txtVert;
    char *txtBleu;
    int hauteur;
    int largeur;
    int aff[4];
    CHistogramme *histo;
    mutable const CImage *pending;  // the picture whose histograms are still to compute

    void ShowSize();
    void Computed() const;
};

#endif
