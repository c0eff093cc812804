#pragma once
#include <cstdint>
#include <QColor>

// The pylon's colours are written 0xBBGGRR: blue in the high byte, red in the low.
inline QColor ColorFromBgr(int32_t bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }
