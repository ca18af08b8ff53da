#include "lexaro/pen_data.h"

#include <initializer_list>

CPenData::CPenData() : m_style(DE_PS_SOLID), m_width(0), m_color(0) {}

CPenData::CPenData(DE_PENSTYLE_CODE style, int width, unsigned long color) {
  SetData(style, width, color);
}

void CPenData::SetData(DE_PENSTYLE_CODE style, int width, unsigned long color) {
  m_style = style;
  m_width = width;
  m_color = COLORREF(color);
}

CPenData& CPenData::operator=(const CPenData& other) {
  SetData(other.m_style, other.m_width, other.m_color);
  return *this;
}

bool CPenData::operator==(const CPenData& other) const {
  return m_style == other.m_style && m_width == other.m_width && m_color == other.m_color;
}

bool CPenData::operator!=(const CPenData& other) const { return !(*this == other); }

CBorderData::CBorderData() = default;

void CBorderData::SetData(DE_PENSTYLE_CODE style, int width, unsigned long color) {
  for (CPenData* side : {&m_top, &m_bottom, &m_left, &m_right}) side->SetData(style, width, color);
}

void CBorderData::SetStyle(DE_PENSTYLE_CODE style) {
  for (CPenData* side : {&m_top, &m_bottom, &m_left, &m_right}) side->m_style = style;
}

void CBorderData::SetWidth(int width) {
  for (CPenData* side : {&m_top, &m_bottom, &m_left, &m_right}) side->m_width = width;
}

void CBorderData::SetColor(unsigned long color) {
  for (CPenData* side : {&m_top, &m_bottom, &m_left, &m_right}) side->m_color = COLORREF(color);
}

CBorderData& CBorderData::operator=(const CBorderData& other) {
  m_top = other.m_top;
  m_bottom = other.m_bottom;
  m_left = other.m_left;
  m_right = other.m_right;
  return *this;
}
