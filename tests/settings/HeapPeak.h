// The most bytes this test program held through operator new (replaced here to count them) since
// the measurement began, above what it held then.
#pragma once
#include <cstddef>

class HeapPeak {
public:
    HeapPeak();
    std::size_t Bytes() const;

private:
    std::size_t base_;
};
