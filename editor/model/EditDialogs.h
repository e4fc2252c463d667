#pragma once
// The editing dialogs as the document's edit commands open them. Each returns true for
// OK; a cancelled dialog must leave its arguments as they came (the adjust dialogs put a
// previewed current image back themselves).

class CLfImage;
class CPixoroDocModel;

class EditDialogs {
public:
    // The last four have handlers in the document, but no menu, button or key sends them.
    enum class Adjust { BrightnessContrast, RedGreenBlue, RedEye, HueSaturation, Exposure, Blur, Sharpen };

    virtual ~EditDialogs() = default;

    // Whether the dialog of a command exists; commands without one are disabled.
    virtual bool HasRotate() const = 0;
    virtual bool HasResize() const = 0;
    virtual bool HasText() const = 0;
    virtual bool HasAdjust(Adjust kind) const = 0;

    // work: a full copy of the current image, which becomes the result.
    virtual bool Rotate(CPixoroDocModel& doc, CLfImage& work) = 0;
    // width and height come in as the image's size and go out as the new one.
    virtual bool Resize(CPixoroDocModel& doc, int& width, int& height) = 0;
    // current: the document's image (previews may replace its pixels); work: the result.
    virtual bool AdjustImage(Adjust kind, CPixoroDocModel& doc, CLfImage& work, CLfImage& current) = 0;
    // True once the text is rendered into work; the document then pushes the undo step
    // and takes work, on the user-interface thread. Cancel leaves work unused.
    virtual bool AddText(CPixoroDocModel& doc, CLfImage& current, CLfImage& work) = 0;
};
