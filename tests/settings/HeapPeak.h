// The most bytes the test program held through operator new above what it held at the start of
// a measurement (this program replaces the global operator new and delete to count them).
#pragma once
#include <cstddef>

class HeapPeak {
public:
    HeapPeak();
    std::size_t Bytes() const;

private:
    std::size_t base_;
};
