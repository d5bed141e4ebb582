#include "output/page_frame.h"

#include "numtext/format_compact.h"
#include "output/coc_origin.h"
#include "output/diffraction_note.h"
#include "output/html_text.h"
#include "output/page_texts.h"
#include "platform/path_text.h"

namespace velmo {

namespace {

constexpr std::string_view kMetaCopyright = "Copyright 2007 the Velmo developers";
constexpr std::string_view kFooterCopyright = "&copy; 2007 the Velmo developers";
constexpr std::string_view kExplanation =
    "How the near and far limits follow from focal length, aperture and circle of confusion is "
    "explained in the article <A HREF=\"https://en.wikipedia.org/wiki/Depth_of_field\">Depth of "
    "field</A>.";

}  // namespace

std::string TableMarker(std::string_view outputFileName) {
  return "<!-- #" + ChangeExtension(NamePart(outputFileName), ".i") + " -->";
}

void WritePageHead(TextWriter& OutputFile, const RunSettings& settings) {
  TextWriter& out = OutputFile;
  out.Line("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\">");
  // A page for phones says what it is and in which language, and asks to be
  // laid out at the phone's width: without a viewport a phone lays it out
  // at a desktop's width and shrinks it, and velmo.css's rules for narrow
  // screens never apply.
  out.Line(settings.Phone ? "<HTML LANG=EN>" : "<HTML>");
  out.Line("<HEAD>");
  if (settings.Phone) {
    out.Line("<TITLE>Depth of Field Tables</TITLE>");
    out.Line("<META NAME=\"viewport\" CONTENT=\"width=device-width, initial-scale=1\">");
  }
  out.Line("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=iso-8859-1\">");
  out.Line("<META HTTP-EQUIV=\"Content-Language\" CONTENT=EN>");
  out.Text("<META NAME=\"author\" CONTENT=\"");
  out.Text(AuthorCredit);
  out.Line("\">");
  out.Text("<META NAME=\"copyright\" CONTENT=\"");
  out.Text(kMetaCopyright);
  out.Line("\">");
  out.Line("<!-- #style-2.i -->");
  out.Line("<STYLE TYPE=\"text/css\"> @import url(velmo.css); </STYLE>");
  out.Line("<!-- # -->");
  out.Line("</HEAD>");
  out.Line("<BODY>");
  out.Line("<!-- #title-start.i -->");
  out.Line("<TABLE><TR><TD>");
  out.Line("<P CLASS=TIT>");
  out.Line("<!-- # -->");
  out.Line("Depth of Field Tables");
  out.Line("<P CLASS=SUBTIT>");
  out.Line("Generated with the <I>Velmo</I> application ");
  out.Line("<!-- #title-end.i -->");
  out.Line("</TABLE>");
  out.Line("<!-- # -->");
  out.Line("<!-- #dof-1.i -->");
  out.Line("<HR>");
  out.Line("<!-- # -->");
  out.Line("<TABLE><TR><TD>");
  if (!settings.Comment.empty()) {
    out.Text("<P CLASS=CTR> ");
    WriteHtmlText(out, settings.Comment);
    out.LineEnd();
  }
  out.Text("<P CLASS=CTR>Circle of confusion of ");
  out.Text(FormatCompact(settings.CoC, 5).View());
  out.Line(" mm was used in the calculations.");
  if (settings.CoCFrom != CoCOrigin::Key) {
    out.Text("<P CLASS=CTR>");
    WriteCoCOrigin(out, settings);
    out.LineEnd();
  }
  if (HasDiffractionNote(settings)) {
    out.Text("<P CLASS=CTR>");
    WriteDiffractionNote(out, settings);
    out.Line(" Those apertures are muted.");
  }
  out.Line("<!-- #dof-url.i -->");
  out.Text("<P CLASS=CTR>");
  out.Line(kExplanation);
  out.Line("<!-- # -->");
  out.Line("</TABLE>");
  out.Line(TableMarker(settings.OutputFileName));
}

void WritePageFoot(TextWriter& OutputFile) {
  TextWriter& out = OutputFile;
  out.Line("<!-- # -->");
  out.Line("<!-- #dof-2.i -->");
  out.Line("<!-- # -->");
  out.Line("<!-- #map-top-2.i -->");
  out.Line("<!-- # -->");
  out.Line("<TABLE><TR><TD COLSPAN=2><HR>");
  out.Line("<TR><TD CLASS=LFOOT>");
  out.Text("Generated with <B>Velmo</B>, version of ");
  out.Line(ReleaseDate);
  out.Line("<TD CLASS=RFOOT>");
  out.Line(kFooterCopyright);
  out.Line("</TABLE>");
  out.Line("</BODY>");
  out.Line("</HTML>");
}

}  // namespace velmo
