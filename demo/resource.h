// Identifiers of the demo's form controls. Each control's object name is its
// identifier in decimal, so that it can be found with CLexaroDemoView::Control.
#pragma once

constexpr int IDC_TEXT = 1000;   // the markup edit box
constexpr int IDC_ANGLE = 1013;  // the angle edit box
constexpr int IDC_CLEAR = 1017;
constexpr int IDC_TEX = 1031;    // the TeX switch: the edit box holds TeX math
constexpr int IDC_LABEL = 1024;   // CStatic_LX
constexpr int IDC_BUTTON = 1022;  // CButton_LX
constexpr int IDC_CHECK = 1023;   // CButton_LX_Ex check box
constexpr int IDC_RADIO1 = 1026;  // CButton_LX_Ex radio buttons
constexpr int IDC_RADIO2 = 1027;
constexpr int IDC_RADIO3 = 1028;
