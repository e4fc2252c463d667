#pragma once
// The choices of the JPEG options dialog and the rules behind it, free of windows: how
// the dialog starts from the stored presets, what Reset All gives, what Save stores as
// the default, and the quality a save uses.

#include <cstdint>
#include <optional>
#include <string>

class CPixoroState;

struct JpegOptions {
    double quality = 85.0;
    bool progressive = false;
    bool optimize = false;    // optimised Huffman codes
    bool horizontal = false;  // chroma halved horizontally
    bool vertical = false;    // chroma halved vertically
    bool saveAsDefault = false;

    // What the dialog shows when it opens: the stored quality (85 when none is above 0),
    // the stored encoding and sampling (optimised codes and vertical halving when none is
    // stored), and the default box checked.
    static JpegOptions FromPresets(const CPixoroState& state);
    // Reset All: quality 85, every box unchecked.
    static JpegOptions ResetAll();

    // The boxes of a pair exclude each other; both may be off.
    void SetProgressive(bool on);
    void SetOptimize(bool on);
    void SetHorizontal(bool on);
    void SetVertical(bool on);

    // With the default box checked: the four values become the presets and are stored.
    // A pair with neither box checked keeps its former preset.
    void StoreAsDefault(CPixoroState& state) const;

    // The quality written into the file: above 98 saves as 95; kept within 1..100.
    uint8_t SaveQuality() const;
    // The JPEG encoder's option bits for this choice: each sampling box halves the
    // chroma in its direction, neither keeps it whole.
    uint32_t EncoderOptions() const;

    // The quality text of the dialog's edit: a number within 0..100, else the message
    // that the dialog shows.
    static std::optional<double> ParseQuality(const std::string& text, std::string* message);
};
