#pragma once
// The values of one colour dialog, free of windows: a slider, an edit and a spin per
// value, how sliding and typing move them, and the image operation they choose.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CLfImage;

enum class AdjustKind { BrightnessContrast, RedGreenBlue, HueSaturation, Exposure, Blur, Sharpen };

class AdjustSettings {
public:
    // How a slider position becomes a value.
    enum class Mapping {
        Level,   // vertical 0..100, minimum at the top: value = 100 - position
        Shift,   // vertical 0..100: value = (50 - position) x 2
        Direct,  // horizontal: value = position
    };
    struct Channel {
        Mapping mapping;
        int sliderHigh;         // sliders run from 0
        int low, high;          // the values the edit takes
        float start;
        bool real;              // the edit holds a real number, not an integer
        bool throughSlider;     // a typed number is pulled into the slider's range and shown
                                // as the slider gives it; an empty edit is ignored
    };

    explicit AdjustSettings(AdjustKind kind);

    AdjustKind Kind() const { return m_kind; }
    size_t Count() const { return m_channels.size(); }
    const Channel& ChannelAt(size_t i) const { return m_channels[i]; }
    float Value(size_t i) const { return m_values[i]; }
    // What the edit of channel i shows.
    const std::string& Text(size_t i) const { return m_texts[i]; }
    int SliderPosition(size_t i) const;

    // The slider moved: the value follows and the edit shows it.
    void SliderMoved(size_t i, int position);
    // The edit now reads text. True when the value changed; Text(i) then says what the
    // edit should show (the typed text, or the number it was pulled back to).
    bool TextTyped(size_t i, std::string_view text);
    // The first edit whose text is not a number of its kind (checked on OK), if any.
    std::optional<size_t> InvalidEdit() const;

    // The dialog's operation with the present values.
    bool Apply(CLfImage& image) const;
    // Whether Preview and OK show the "Processing" bar for these values.
    bool ShowsProgress() const;

private:
    float FromSlider(size_t i, int position) const;
    static std::string Format(float value);  // what an edit shows for a value

    AdjustKind m_kind;
    std::vector<Channel> m_channels;
    std::vector<float> m_values;
    std::vector<std::string> m_texts;
};
