#include "framework/BoundedCopy.h"

char* boundedCopy(char* dst, std::size_t capacity, const char* src)
{
    if (!dst || capacity == 0) return dst;
    std::size_t i = 0;
    if (src) {
        for (; i + 1 < capacity && src[i]; ++i) dst[i] = src[i];
    }
    dst[i] = '\0';
    return dst;
}
