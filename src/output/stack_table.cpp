#include "output/stack_table.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "numtext/format_cell.h"
#include "numtext/write_real.h"
#include "output/table_width.h"

namespace velmo {

namespace {

/// What a stack without frames says instead.
std::string_view WhyNoFrame(NoStack without) {
  return without == NoStack::NoStart ? "no distance of the table to start from"
                                     : "no depth of field to advance by";
}

void FrameCount(TextWriter& out, const FocusStack& stack) {
  out.Integer(static_cast<long long>(stack.Focus.size()));
  if (stack.Cut) out.Char('+');
}

// In HTML the stacks are rows of the block's own table, under its aperture
// columns: a row of frame counts, then a row per frame, each cell a focus
// distance over its near and far limits. A long stack makes the page taller,
// never wider.

void WriteHtmlFrameCounts(TextWriter& out, const Block& block) {
  out.Line("<TR><TH CLASS=FRAME>Frames");
  for (int a = 0; a < block.ApertureCount; ++a) {
    const FocusStack& stack = block.Stacks[a];
    out.Text(block.Diffracted[a] ? "<TD CLASS=\"FRAMES DIFF\">" : "<TD CLASS=FRAMES>");
    if (stack.Without == NoStack::None) {
      FrameCount(out, stack);
    } else {
      out.Text(WhyNoFrame(stack.Without));
    }
    out.LineEnd();
  }
}

void WriteHtmlFrame(TextWriter& out, const Block& block, std::size_t frame) {
  out.Text("<TR><TH CLASS=FRAME>");
  out.Integer(static_cast<long long>(frame) + 1);
  out.LineEnd();
  for (int a = 0; a < block.ApertureCount; ++a) {
    const FocusStack& stack = block.Stacks[a];
    out.Text(block.Diffracted[a] ? "<TD CLASS=\"STACK DIFF\">" : "<TD CLASS=STACK>");
    if (frame < stack.Focus.size()) {
      out.Text(FormatCell(kNoSign, Markup::Html, stack.Focus[frame]).View());
      out.Text("<BR>");
      out.Text(FormatCell(kNoSign, Markup::Html, stack.Limits[frame].Near).View());
      out.Char('-');
      out.Text(FormatCell(kNoSign, Markup::Html, stack.Limits[frame].Far).View());
    }
    out.LineEnd();
  }
}

void WriteHtmlStacks(TextWriter& out, const RunSettings& settings, const Block& block) {
  out.Text("<TR><TH CLASS=STACKS COLSPAN=");
  out.Integer(block.ApertureCount + 1);
  out.Text(">Focus stack: focus, and near-far limits (");
  out.Text(UnitSymbol(settings.Units));
  out.Line(")");
  WriteHtmlFrameCounts(out, block);
  std::size_t frames = 0;
  for (const FocusStack& stack : block.Stacks) frames = std::max(frames, stack.Focus.size());
  for (std::size_t frame = 0; frame < frames; ++frame) WriteHtmlFrame(out, block, frame);
}

// In text each aperture's stack is a ":" line that names it, then its frames
// as "number focus (near-far)", as many to a ":" line as the table is wide.

void WriteTextStack(TextWriter& out, const RunSettings& settings, int a, const FocusStack& stack) {
  out.Text(": Focus stack F/");
  WriteReal(out, settings.Apertures[a], 1, 1);
  if (stack.Without != NoStack::None) {
    out.Text(": ");
    out.Line(WhyNoFrame(stack.Without));
    return;
  }
  out.Text(", ");
  FrameCount(out, stack);
  out.Line(stack.Focus.size() == 1 ? " frame, focus (near-far):" : " frames, focus (near-far):");
  const std::size_t width = TextTableWidth(settings);
  std::string line = ":";
  for (std::size_t i = 0; i < stack.Focus.size(); ++i) {
    const std::string frame = "  " + std::to_string(i + 1) + " " + TextValue(stack.Focus[i]) + " (" +
                              TextValue(stack.Limits[i].Near) + "-" + TextValue(stack.Limits[i].Far) + ")";
    if (line.size() > 1 && line.size() + frame.size() > width) {
      out.Line(line);
      line = ":";
    }
    line += frame;
  }
  out.Line(line);
}

}  // namespace

void WriteStackTable(TextWriter& out, const RunSettings& settings, const Block& block) {
  if (settings.HTML) {
    WriteHtmlStacks(out, settings, block);
    return;
  }
  for (int a = 0; a < block.ApertureCount; ++a) WriteTextStack(out, settings, a, block.Stacks[a]);
}

}  // namespace velmo
