#include "image/CLfFileStream.h"

#include <sys/stat.h>

CLfFileStream::CLfFileStream(FILE* file) : m_file(file), m_owns(file == nullptr)
{
    if (m_file) {
        struct stat st {};
        if (fstat(fileno(m_file), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > kMaxSize)
            m_file = nullptr;  // refused; not ours to close
    }
}

CLfFileStream::~CLfFileStream()
{
    if (m_file && m_owns)
        fclose(m_file);
}

bool CLfFileStream::Close()
{
    if (!m_file || !m_owns)
        return true;
    const bool ok = fclose(m_file) == 0;
    m_file = nullptr;
    return ok;
}

size_t CLfFileStream::Read(void* buffer, size_t itemSize, size_t count)
{
    if (!m_file || !buffer)
        return 0;
    return fread(buffer, itemSize, count, m_file);
}

size_t CLfFileStream::Write(const void* buffer, size_t itemSize, size_t count)
{
    if (!m_file || !buffer)
        return 0;
    return fwrite(buffer, itemSize, count, m_file);
}

bool CLfFileStream::Seek(int64_t offset, int origin)
{
    if (!m_file)
        return false;
    return fseeko(m_file, static_cast<off_t>(offset), origin) == 0;
}

int64_t CLfFileStream::Tell()
{
    if (!m_file)
        return 0;
    return ftello(m_file);
}

int64_t CLfFileStream::Size()
{
    if (!m_file)
        return -1;
    const off_t pos = ftello(m_file);
    if (pos < 0 || fseeko(m_file, 0, SEEK_END) != 0)
        return -1;
    const off_t end = ftello(m_file);
    fseeko(m_file, pos, SEEK_SET);
    return end;
}

bool CLfFileStream::Flush()
{
    return m_file && fflush(m_file) == 0;
}

bool CLfFileStream::Eof()
{
    return !m_file || feof(m_file) != 0;
}

int32_t CLfFileStream::Error()
{
    if (!m_file)
        return -1;
    return ferror(m_file);
}

bool CLfFileStream::PutC(uint8_t byte)
{
    return m_file && fputc(byte, m_file) == byte;
}

int32_t CLfFileStream::GetC()
{
    if (!m_file)
        return -1;
    return fgetc(m_file);
}
