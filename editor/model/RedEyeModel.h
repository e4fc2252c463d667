#pragma once
// The red-eye dialog's arithmetic, free of windows: the square box around the eye, how
// picks in the two panes and the zoom buttons move and size it, and the fix itself.

#include <array>

class CLfImage;

struct RedEyeRect {
    int left = 0;  // in image pixels, rows counted from the top; right and bottom exclusive
    int top = 0;
    int right = 0;
    int bottom = 0;
};

class RedEyeBox {
public:
    // The box starts at a tenth of the smaller side (at least 1 pixel), centred on the image.
    RedEyeBox(int imageWidth, int imageHeight);

    // A click in the top pane at (clickX, clickY) of the pane, whose picture is drawn at
    // (drawX, drawY) in the pane at scale. The first pick shrinks the box to 0.9^6 and
    // keeps the next top-pane pick from moving it.
    void PickTop(int clickX, int clickY, int drawX, int drawY, float scale);
    // A click in the 150 x 150 zoom pane re-centres the box on the clicked point.
    void PickZoom(int clickX, int clickY);
    // The zoom buttons: false when the box is already at its limit.
    bool ZoomIn();
    bool ZoomOut();

    int Side() const { return m_side; }
    int CentreX() const { return m_centreX; }
    int CentreY() const { return m_centreY; }
    RedEyeRect Rect() const;

    static constexpr int kZoomPane = 150;

private:
    int m_side;
    int m_centreX;
    int m_centreY;
    bool m_zoomStepPending = false;
    bool m_firstPickPending = true;
};

// sRGB (each 0..1) to CIE L*a*b* with the D65 white, and back (each channel clamped to
// 0..1, not-a-number to 0).
std::array<double, 3> RgbToLab(double red, double green, double blue);
std::array<double, 3> LabToRgb(double l, double a, double b);

// How much colour a pixel keeps: 0 takes it all, 1 keeps it.
double RedEyeWeight(long distanceSquared, double radiusSquared, int red, int green, int blue);

// Takes the colour out of the reddish pixels inside the circle the box encloses.
// Pixels that keep their colour are left as they are. Palette images are first raised
// to 24 bits. False when nothing could be done.
bool FixRedEye(CLfImage& image, const RedEyeRect& box);
