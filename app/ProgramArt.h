// The window's pictures from the program's artwork: the program icon, the five toolbar images
// of strip 150 and the four tab images of strip 168. Light grey (192, 192, 192) is transparent.
#pragma once

#include <QIcon>
#include <QPixmap>

#include <array>

namespace vellmark {

QIcon ProgramIcon();
std::array<QPixmap, 5> ToolbarImages();
std::array<QPixmap, 4> TabImages();

// Cuts a strip into count square images of its height, light grey made transparent.
template <std::size_t N> std::array<QPixmap, N> SplitStrip(const QImage& strip);

} // namespace vellmark
