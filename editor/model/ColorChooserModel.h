#pragma once
// The colour chooser's state and geometry, free of windows: one colour held as red,
// green and blue and as hue, saturation and brightness, the old colour beside it, and
// where the pictures' handles and markers stand and what a drag at a point means.

#include "editor/model/HsbColor.h"
#include "platform/WinTypes.h"

#include <vector>

class ColorChooserModel {
public:
    enum class Field { Red, Green, Blue, Hue, Saturation, Brightness };

    // The hue/saturation wheel: centre and radius in its picture's pixels; the brightness
    // bar 20 pixels right of the wheel, 20 wide, as high as the wheel's picture.
    static constexpr POINT kWheelCentre{100, 100};
    static constexpr int kWheelRadius = 100;
    static constexpr int kWheelWidth = 202;
    static constexpr int kWheelHeight = 201;
    static constexpr int kBarLeft = kWheelWidth + 20;
    static constexpr int kBarWidth = 20;
    // The red/green/blue picture: three axes from one centre, in its picture's pixels.
    static constexpr int kRgbSide = 190;
    static constexpr POINT kAxisCentre{102, 108};
    static constexpr POINT kAxisEnds[3] = {{102, 9}, {23, 147}, {181, 147}};

    explicit ColorChooserModel(COLORREF initial);

    COLORREF Old() const { return m_old; }
    COLORREF Current() const { return RGB(static_cast<uint8_t>(m_rgb.red), static_cast<uint8_t>(m_rgb.green), static_cast<uint8_t>(m_rgb.blue)); }
    const RgbColor& Rgb() const { return m_rgb; }
    const HsbColor& Hsb() const { return m_hsb; }
    int Get(Field field) const;
    // An edit's number, clamped to the field's range (hue 0..359, the rest 0..255); the
    // other form follows. False when the value was already that.
    bool Set(Field field, long value);

    // Drags, in picture pixels. The wheel sets hue and saturation, the bar brightness,
    // a handle its channel (0 red, 1 green, 2 blue) from the point's place on its axis.
    void DragWheel(POINT point);
    void DragBar(int y);
    void DragHandle(int channel, POINT point);

    POINT WheelMarker() const;
    // The middle of the bar's marker.
    int BarMarkerY() const;
    POINT HandlePoint(int channel) const;
    static POINT AxisPoint(int channel, int value);
    // Which drag a press starts: in the wheel, the bar, or a handle's 10 x 10 box.
    static bool InWheel(POINT point);
    static bool InBar(POINT point);
    // -1 when the point is in no handle's box (red is tried first, then green, blue).
    int HandleAt(POINT point) const;
    // The bar's colours from top to bottom: this hue and saturation, brightness falling.
    std::vector<COLORREF> BarColours() const;

private:
    void FromRgb() { m_hsb = HsbFromRgb(m_rgb); }
    void FromHsb() { m_rgb = RgbFromHsb(m_hsb); }

    COLORREF m_old;
    RgbColor m_rgb;
    HsbColor m_hsb;
};
