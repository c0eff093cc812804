#include "model/Cp1250.h"

std::string Cp1250::Fit(const std::string& ansi, size_t width)
{
    return ansi.size() <= width ? ansi : ansi.substr(0, width);
}
