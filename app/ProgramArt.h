// SPDX-License-Identifier: Apache-2.0
// The window's pictures from the program's artwork: the program icon, the five toolbar images
// of strip 150 and the four tab images of strip 168, each with its 16-pixel drawing and, where a
// screen draws a point with two pixels, its 32-pixel one (the icon draws that one there). Light
// grey (192, 192, 192) is transparent.
#pragma once

#include <QIcon>
#include <QPixmap>

#include <array>

namespace vellmark {

QIcon ProgramIcon();
std::array<QIcon, 5> ToolbarImages();
std::array<QIcon, 4> TabImages();

// Cuts a strip and its drawing at twice the size into count icons of square images of the
// strips' heights, light grey made transparent.
template <std::size_t N> std::array<QIcon, N> SplitStrip(const QImage& strip, const QImage& large);

} // namespace vellmark
