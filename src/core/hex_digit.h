#pragma once

// The value of a hexadecimal digit in either letter case, or -1 for any other
// character.
constexpr int hexDigitValue(char32_t c)
{
    if (c >= '0' && c <= '9')
        return int(c - '0');
    if (c >= 'a' && c <= 'f')
        return int(c - 'a' + 10);
    if (c >= 'A' && c <= 'F')
        return int(c - 'A' + 10);
    return -1;
}
