#include "serial/CommNotice.h"

#include <cstring>
#include "framework/BoundedCopy.h"
#include "serial/CommSink.h"

void CommNotice::SetData(const char* bytes, int32_t count)
{
    int32_t n = count < 0 || !bytes ? 0 : count;
    if (n > kTextSize - 1) n = kTextSize - 1;
    if (n > 0) std::memcpy(text, bytes, size_t(n));
    text[n] = '\0';
    length = n;
    code = CommSink::kCodeData;
}

void CommNotice::SetStatus(int32_t statusCode, const char* statusText)
{
    boundedCopy(text, kStatusSize, statusText);
    length = 0;
    code = statusCode;
}
