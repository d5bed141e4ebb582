#include "output/stack_table.h"

#include <algorithm>
#include <string_view>

#include "numtext/format_cell.h"
#include "numtext/write_real.h"

namespace velmo {

namespace {

/// A value as a text cell shows it, without the blanks that align it.
void TextValue(TextWriter& out, double x) {
  const ShortText cell = FormatCell(kNoSign, Markup::Text, x);
  std::string_view text = cell.View();
  text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
  out.Text(text);
}

void FrameCount(TextWriter& out, const FocusStack& stack) {
  out.Integer(static_cast<long long>(stack.Focus.size()));
  if (stack.Cut) out.Char('+');
}

void WriteHtmlStacks(TextWriter& out, const RunSettings& settings, const Block& block) {
  out.Text("<TR><TD CLASS=STACKS COLSPAN=");
  out.Integer(block.ApertureCount + 1);
  out.Char('>');
  out.LineEnd();
  out.Line("<TABLE CLASS=STACK>");
  // The heading spans the frames of the longest stack.
  std::size_t frames = 1;
  for (const FocusStack& stack : block.Stacks) frames = std::max(frames, stack.Focus.size());
  out.Text("<TR><TH>Focus stack<TH>Frames<TH COLSPAN=");
  out.Integer(static_cast<long long>(frames));
  out.Text(">Focus, and near-far limits (");
  out.Text(UnitSymbol(settings.Units));
  out.Line(")");
  for (int a = 0; a < block.ApertureCount; ++a) {
    const FocusStack& stack = block.Stacks[a];
    out.Text(block.Diffracted[a] ? "<TR><TH CLASS=\"APERT DIFF\">F/" : "<TR><TH CLASS=APERT>F/");
    WriteReal(out, settings.Apertures[a], 1, 1);
    out.Text("<TD CLASS=FRAMES>");
    FrameCount(out, stack);
    out.LineEnd();
    for (std::size_t i = 0; i < stack.Focus.size(); ++i) {
      out.Text("<TD>");
      out.Text(FormatCell(kNoSign, Markup::Html, stack.Focus[i]).View());
      out.Text("<BR>");
      out.Text(FormatCell(kNoSign, Markup::Html, stack.Limits[i].Near).View());
      out.Char('-');
      out.Text(FormatCell(kNoSign, Markup::Html, stack.Limits[i].Far).View());
      out.LineEnd();
    }
  }
  out.Line("</TABLE>");
}

void WriteTextStacks(TextWriter& out, const RunSettings& settings, const Block& block) {
  for (int a = 0; a < block.ApertureCount; ++a) {
    const FocusStack& stack = block.Stacks[a];
    out.Text(": Focus stack F/");
    WriteReal(out, settings.Apertures[a], 1, 1);
    out.Text(", ");
    FrameCount(out, stack);
    out.Text(stack.Focus.size() == 1 ? " frame, focus (near-far):" : " frames, focus (near-far):");
    for (std::size_t i = 0; i < stack.Focus.size(); ++i) {
      out.Char(' ');
      TextValue(out, stack.Focus[i]);
      out.Text(" (");
      TextValue(out, stack.Limits[i].Near);
      out.Char('-');
      TextValue(out, stack.Limits[i].Far);
      out.Char(')');
    }
    out.LineEnd();
  }
}

}  // namespace

void WriteStackTable(TextWriter& out, const RunSettings& settings, const Block& block) {
  if (settings.HTML) {
    WriteHtmlStacks(out, settings, block);
  } else {
    WriteTextStacks(out, settings, block);
  }
}

}  // namespace velmo
