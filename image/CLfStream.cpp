#include "image/CLfStream.h"

bool CLfStream::PutC(uint8_t byte)
{
    return Write(&byte, 1, 1) == 1;
}
