// qkparam.dat: any file gives nothing or two single digits.
#include "editor/model/ParamFile.h"
#include "fuzz/LfFuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = lffuzz::WriteScratch("qkparam.dat", data, size);
    if (const std::optional<ParamDigits> digits = ReadParamFile(path)) {
        lffuzz::Check(digits->sortKey >= 0 && digits->sortKey <= 9, "the sort key is one digit");
        lffuzz::Check(digits->sortOrder >= 0 && digits->sortOrder <= 9, "the direction is one digit");
    }
    return 0;
}
