// A page that shows the drawing toolkit at work, written as a PNG file.
#pragma once

#include <string>

// Writes toolkit.png into dir: every pen style at widths 1-3, quadrilaterals
// and triangles filled and outlined, circles, all marker kinds flat and
// shaded, and every arrow kind. False with the reason in *error when the file
// cannot be written.
bool WriteToolkitPage(const std::string& dir, std::string* error);
