#pragma once
// Log lines as the tests compare them: UTF-8 strings in order, joined with +
// and appended with <<.
#include <string>
#include <vector>

using Lines = std::vector<std::string>;

inline Lines operator+(Lines a, const Lines& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline Lines& operator<<(Lines& lines, const std::string& line)
{
    lines.push_back(line);
    return lines;
}
