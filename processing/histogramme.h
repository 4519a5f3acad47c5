// histogramme.h: the four 256-bin histograms of an image (luminosity, red,
// green, blue) with the mean, minimum and maximum of each layer.
#ifndef MIRLAN_HISTOGRAMME_H
#define MIRLAN_HISTOGRAMME_H

#include <cstdint>

class CImage;

class CHistogramme {
public:
    // Layer 0 is the luminosity, 1 red, 2 green, 3 blue.
    int32_t *histos[4];
    int32_t max[4];      // -1 for a layer that received no pixel
    int32_t min[4];      // 999 for a layer that received no pixel
    int32_t moyenne[4];  // integer mean; 0 for a layer that received no pixel

    CHistogramme();
    ~CHistogramme();
    CHistogramme(const CHistogramme &) = delete;
    CHistogramme &operator=(const CHistogramme &) = delete;

    // Recomputes every member from img, which is only read.
    void CalcHistos(const CImage *img);
    // The highest bin count of each layer's histogram.
    void GetMaxHauteurs(int *lum, int *red, int *green, int *blue);
};

#endif
