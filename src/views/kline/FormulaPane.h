#pragma once
/// Drawing a pane that shows one of the user's formulas, by the built-in panes' rules (the
/// view draws the pane's top border and its axis separator around it, as for them):
/// - the title "NAME(p1,p2,...)" (the name alone for a formula without parameters) at
///   left + 5, top + 3 in the title colour; then each output's item "NAME:%.2f" at the
///   cursor bar (the last bar when the cursor is outside the series), or its name alone where
///   it has no value there, in the output's colour: the first at left + 120 (further right
///   when the title is longer), each next one 80 pixels on or clear of the one before,
///   whichever is further; items that would run into the value axis are left out;
/// - the scale: the common rounded one with 5 divisions over the values the drawn outputs
///   have at the visible bars (NODRAW outputs and a trading system's signals, ENTERLONG and
///   the like, are neither drawn nor ranged; STICK, COLORSTICK and VOLSTICK
///   ones take 0 into the range, and the pane then shows its 0 line), labelled at the round
///   levels of the built-in panes; no value at all: title only;
/// - each drawn output: a line is a polyline through the bar centres, a bar without a value
///   ending its stroke; STICK a vertical line from 0 to the value at each bar's centre;
///   COLORSTICK the same in the rising pen's colour where the value is 0 or more and the
///   falling pen's below; VOLSTICK a bar from 0 over nine tenths of the slot as the candle
///   of that bar is drawn (hollow in the rising colour, filled in the falling colour when
///   the close is below the open). LINETHICKn is the pen's width, DOTLINE a dotted pen;
/// - colours: the output's colour attribute, otherwise line colour (slot + 1) of the scheme
///   in effect; a colour that equals the scheme's background (COLORWHITE on paper,
///   COLOR000000 on the screen) is drawn in line colour 1 instead, so that no output vanishes;
/// - the drawing statements' marks over the outputs (FormulaMarks.h), their values (P, P1 and
///   P2) taking part in the scale as the outputs' do;
/// - the cursor read-out as the built-in panes'.
/// Bars and lines stay inside the pane. A formula that could not be computed (a text that no
/// longer compiles, values that put a constant argument out of range, a cost beyond the
/// limit) shows its title with the fault on the line below, as one still being computed says; a formula no
/// longer in the library shows kFormulaDeleted in the title's place and nothing else.
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data/settings/DisplayScheme.h"
#include "formula/Formula.h"
#include "gfx/Canvas.h"
#include "indicators/BarColumns.h"
#include "indicators/IndicatorLines.h"
#include "indicators/IndicatorPane.h"
#include "indicators/PaneScale.h"

namespace qelt {

inline constexpr std::string_view kFormulaDeleted = "公式已删除";

/// What a formula pane shows: its title, and either the computed outputs or the line below
/// the title that says why there are none (the fault that kept them from being computed, or
/// that they are being computed). An empty title: the formula was deleted.
struct FormulaPaneContent {
    std::string title;
    const std::vector<FormulaOutput>* outputs = nullptr;
    const FormulaRun* run = nullptr;  ///< null when nothing was computed
    std::string fault;
    /// The drawing statements, and the marks `run` made of them (empty when nothing was computed).
    const std::vector<FormulaDrawing>* drawings = nullptr;
    std::span<const FormulaMark> marks;
};

/// `columns` must be set: the series' open and close (VOLSTICK's candles).
struct FormulaPaneRequest : PaneFrame {
    FormulaPaneContent content;
};

void DrawFormulaPane(Canvas& canvas, const FormulaPaneRequest& request);

/// The pane's scale (see above); nothing when the drawn outputs have no value on show.
std::optional<PaneScale> FormulaPaneScale(const FormulaPaneRequest& request);

/// The colour output `style` is drawn and titled in under `scheme`.
Colour FormulaOutputColour(const FormulaOutputStyle& style, const DisplayScheme& scheme);

/// "NAME(p1,p2,...)" with each value in its shortest exact form; "NAME" without parameters.
std::string FormulaPaneTitle(std::string_view name, const std::vector<double>& values);

}  // namespace qelt
