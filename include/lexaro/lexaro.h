// The whole public API of Lexaro.
#pragma once

#include "lexaro/types.h"
#include "lexaro/cstring.h"
#include "lexaro/gdi.h"
#include "lexaro/dc.h"
#include "lexaro/raster_dc.h"
#include "lexaro/record_dc.h"
#include "lexaro/svg_dc.h"
#include "lexaro/font_tool.h"
#include "lexaro/pen_data.h"
#include "lexaro/dc_ex.h"
#include "lexaro/string_tool.h"
#include "lexaro/color.h"
#include "lexaro/numeric.h"
#include "lexaro/engine.h"
#include "lexaro/render.h"
#include "lexaro/tex.h"
