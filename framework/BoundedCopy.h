// Bounded copy into a fixed text field: at most capacity - 1 characters, always terminated.
#pragma once
#include <cstddef>

// Copies src into dst (capacity bytes); a null or empty src gives an empty text. Returns dst.
char* boundedCopy(char* dst, std::size_t capacity, const char* src);

template <std::size_t N>
char* boundedCopy(char (&dst)[N], const char* src)
{
    return boundedCopy(dst, N, src);
}
