#include "editor/model/RotateAngle.h"

#include "editor/model/NumberText.h"
#include "image/CLfImage.h"

namespace {

// Far beyond any useful angle, and far from overflowing an int.
constexpr long kAngleBound = 1'000'000'000L;

}  // namespace

std::optional<int> NormaliseAngle(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    return static_cast<int>(ParseBoundedNumber(text, -kAngleBound, kAngleBound) % 360);
}

int AngleAfterStep(std::string_view text, int step)
{
    return (NormaliseAngle(text).value_or(0) + step) % 360;
}

bool RotateByDegrees(CLfImage& image, int degrees)
{
    switch (((degrees % 360) + 360) % 360) {
    case 0:
        return false;
    case 90:
        return image.RotateRight();
    case 180:
        return image.Rotate180();
    case 270:
        return image.RotateLeft();
    default:
        return image.Rotate(static_cast<float>(degrees % 360));
    }
}
