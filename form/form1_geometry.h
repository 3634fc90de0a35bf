#pragma once
// Where every control of the main window sits, what it says and where Tab takes it: the
// one place these numbers are written. The layout builds the window from this table and
// the tests check the built window against it.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <array>
#include <string_view>

namespace corvane {

// The window's outer size; with no frame (or until it is known) that is the client.
inline constexpr QSize kWindowSize{640, 480};

// Every page's tab is this wide, whatever its caption.
inline constexpr int kTabWidth = 150;

// The widget a control is placed on.
enum class Host { Window, Pages, TabSheet1, TabSheet2, TabSheet3 };

struct ControlPlace {
  std::string_view name;  // the TForm1 member, also the widget's object name
  Host host;
  QRect geometry;  // within the host; empty for a page, which the page control sizes
  const char8_t* caption;
  // Position in the host's Tab cycle (the window's controls come before the pages');
  // -1 for controls Tab never visits. The layout makes the controls in this order.
  int tabOrder;
};

// clang-format off
inline constexpr std::array<ControlPlace, 41> kControlPlaces{{
    {"Button4",      Host::Window,    {536, 408, 75, 25},  u8"終了",               0},
    {"PageControl1", Host::Window,    {0, 0, 625, 441},    u8"",                   1},
    {"TabSheet1",    Host::Pages,     {},                  u8"ＨＴＭＬ作成",       -1},
    {"TabSheet2",    Host::Pages,     {},                  u8"ＨＴＭＬ設定",       -1},
    {"TabSheet3",    Host::Pages,     {},                  u8"コルベイン設定",     -1},

    {"Label2",       Host::TabSheet1, {8, 8, 100, 15},     u8"入力ディレクトリ",   -1},
    {"Label1",       Host::TabSheet1, {8, 48, 115, 15},    u8"入力ファイルリスト", -1},
    {"Label4",       Host::TabSheet1, {272, 48, 115, 15},  u8"出力ファイルリスト", -1},
    {"Edit1",        Host::TabSheet1, {8, 24, 273, 23},    u8"",                   0},
    {"ListBox1",     Host::TabSheet1, {8, 64, 241, 347},   u8"",                   1},
    {"Button1",      Host::TabSheet1, {288, 24, 41, 25},   u8"開く",               2},
    {"ListBox2",     Host::TabSheet1, {280, 64, 241, 347}, u8"",                   3},
    {"Button2",      Host::TabSheet1, {528, 64, 81, 25},   u8"項目名入力",         4},
    {"Button3",      Host::TabSheet1, {528, 104, 81, 25},  u8"HTML作成",           5},
    {"Button8",      Host::TabSheet1, {528, 184, 81, 25},  u8"比較読込み",         6},
    {"Button9",      Host::TabSheet1, {528, 224, 81, 25},  u8"非選択消去",         7},
    {"Button10",     Host::TabSheet1, {253, 80, 24, 25},   u8">>",                 8},
    {"Button11",     Host::TabSheet1, {528, 144, 81, 25},  u8"前回読込み",         9},

    {"Bevel1",       Host::TabSheet2, {8, 24, 225, 153},   u8"",                   -1},
    {"Bevel2",       Host::TabSheet2, {8, 200, 225, 145},  u8"",                   -1},
    {"Bevel3",       Host::TabSheet2, {248, 24, 233, 89},  u8"",                   -1},
    {"Label3",       Host::TabSheet2, {24, 32, 45, 15},    u8"色指定",             -1},
    {"Label5",       Host::TabSheet2, {24, 208, 95, 15},   u8"メニューの形式",     -1},
    {"Label6",       Host::TabSheet2, {40, 232, 85, 15},   u8"幅（ピクセル）",     -1},
    {"Label7",       Host::TabSheet2, {264, 32, 131, 15},  u8"画像の長辺のサイズ", -1},
    {"Label8",       Host::TabSheet2, {280, 56, 96, 15},   u8"長さ（ピクセル）",   -1},
    {"Combobox1",    Host::TabSheet2, {24, 56, 193, 23},   u8"",                   0},
    {"Shape1",       Host::TabSheet2, {24, 88, 193, 17},   u8"",                   -1},
    {"Panel1",       Host::TabSheet2, {24, 112, 145, 49},  u8"",                   1},
    {"Edit2",        Host::TabSheet2, {56, 248, 121, 23},  u8"",                   2},
    {"UpDown1",      Host::TabSheet2, {176, 248, 20, 25},  u8"",                   -1},
    {"RadioGroup1",  Host::TabSheet2, {56, 288, 121, 33},  u8"メニューの位置",     3},
    {"Edit3",        Host::TabSheet2, {304, 72, 121, 23},  u8"",                   4},
    {"UpDown2",      Host::TabSheet2, {424, 72, 20, 25},   u8"",                   -1},
    {"Button5",      Host::TabSheet2, {532, 344, 75, 25},  u8"設定保存",           5},

    {"Bevel4",       Host::TabSheet3, {8, 24, 329, 81},    u8"",                   -1},
    {"Label9",       Host::TabSheet3, {24, 32, 130, 15},   u8"作業ディレクトリ設定", -1},
    {"Label10",      Host::TabSheet3, {16, 392, 304, 15},  u8"Corvane v1.21",      -1},
    {"Edit4",        Host::TabSheet3, {32, 56, 249, 23},   u8"",                   0},
    {"Button6",      Host::TabSheet3, {288, 56, 41, 25},   u8"開く",               1},
    {"Button7",      Host::TabSheet3, {532, 344, 75, 25},  u8"設定保存",           2},
}};

// The palette swatches Shape2 .. Shape17 within Panel1, in the order of the colour table:
// two rows of eight, the first starting a pixel further right than the second.
inline constexpr int kSwatchSize = 17;
inline constexpr std::array<QPoint, 16> kSwatchPositions{{
    {9, 8},  {24, 8},  {40, 8},  {56, 8},  {72, 8},  {88, 8},  {104, 8},  {120, 8},
    {8, 24}, {24, 24}, {40, 24}, {56, 24}, {72, 24}, {88, 24}, {104, 24}, {120, 24},
}};
// clang-format on

// The row for a control; raises std::logic_error for a name the table does not have.
const ControlPlace& PlaceOf(std::string_view name);

}  // namespace corvane
