// A small well-formedness check of XML, for the charts a page carries: a
// chart cut out of the page is an SVG file, and XML tools refuse it for one
// entity HTML knows and XML does not.
#pragma once

#include <algorithm>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace velmo::test {

namespace xml_detail {

inline bool NameStart(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':';
}
inline bool NameChar(char c) {
  return NameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}
inline bool Blank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

/// Character data or an attribute value: '&' only as one of XML's own five
/// entities or a numeric character reference; '<' never.
inline std::string CheckText(std::string_view text) {
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '<') return "a '<' in text";
    if (text[at] != '&') continue;
    const std::size_t end = text.find(';', at);
    if (end == std::string_view::npos) return "an '&' without ';'";
    const std::string_view entity = text.substr(at + 1, end - at - 1);
    static const std::set<std::string_view> kOwn = {"lt", "gt", "amp", "quot", "apos"};
    const bool decimal =
        entity.size() > 1 && entity[0] == '#' &&
        std::all_of(entity.begin() + 1, entity.end(), [](char c) { return c >= '0' && c <= '9'; });
    const bool hex = entity.size() > 2 && entity.substr(0, 2) == "#x" &&
                     std::all_of(entity.begin() + 2, entity.end(), [](char c) {
                       return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
                     });
    if (!decimal && !hex && kOwn.count(entity) == 0)
      return "the entity &" + std::string(entity) + "; XML does not define";
    at = end;
  }
  return "";
}

}  // namespace xml_detail

/// Why `text` is not one well-formed XML element; empty when it is.
inline std::string XmlProblem(std::string_view text) {
  using namespace xml_detail;
  std::vector<std::string_view> open;
  std::size_t at = 0;
  int roots = 0;
  while (at < text.size()) {
    const std::size_t tag = text.find('<', at);
    const std::string_view between = text.substr(at, tag == std::string_view::npos ? text.npos : tag - at);
    if (open.empty() && !std::all_of(between.begin(), between.end(), Blank))
      return "text outside the element";
    if (std::string problem = CheckText(between); !problem.empty()) return problem;
    if (tag == std::string_view::npos) break;
    at = tag + 1;
    if (text.substr(tag, 4) == "<!--") {
      const std::size_t end = text.find("-->", tag + 4);
      if (end == std::string_view::npos) return "an unended comment";
      at = end + 3;
      continue;
    }
    const bool closing = at < text.size() && text[at] == '/';
    if (closing) ++at;
    const std::size_t nameStart = at;
    if (at >= text.size() || !NameStart(text[at])) return "a '<' without a name";
    while (at < text.size() && NameChar(text[at])) ++at;
    const std::string_view name = text.substr(nameStart, at - nameStart);
    if (closing) {
      while (at < text.size() && Blank(text[at])) ++at;
      if (at >= text.size() || text[at] != '>') return "a bad end tag </" + std::string(name);
      if (open.empty() || open.back() != name) return "</" + std::string(name) + "> closes nothing open";
      open.pop_back();
      ++at;
      continue;
    }
    if (open.empty() && ++roots > 1) return "more than one root element";
    std::set<std::string_view> attributes;
    for (;;) {
      const std::size_t blanks = at;
      while (at < text.size() && Blank(text[at])) ++at;
      if (at >= text.size()) return "an unended tag <" + std::string(name);
      if (text.substr(at, 2) == "/>") {
        at += 2;
        break;
      }
      if (text[at] == '>') {
        open.push_back(name);
        ++at;
        break;
      }
      if (at == blanks || !NameStart(text[at])) return "a bad attribute in <" + std::string(name);
      const std::size_t attributeStart = at;
      while (at < text.size() && NameChar(text[at])) ++at;
      const std::string_view attribute = text.substr(attributeStart, at - attributeStart);
      if (!attributes.insert(attribute).second) return "the attribute " + std::string(attribute) + " twice";
      if (at >= text.size() || text[at] != '=')
        return "the attribute " + std::string(attribute) + " without a value";
      ++at;
      if (at >= text.size() || (text[at] != '"' && text[at] != '\'')) {
        return "the value of " + std::string(attribute) + " without quotes";
      }
      const std::size_t end = text.find(text[at], at + 1);
      if (end == std::string_view::npos) return "an unended value of " + std::string(attribute);
      if (std::string problem = CheckText(text.substr(at + 1, end - at - 1)); !problem.empty())
        return problem;
      at = end + 1;
    }
  }
  if (!open.empty()) return "<" + std::string(open.back()) + "> is never closed";
  if (roots == 0) return "no element";
  return "";
}

/// The charts Velmo drew on a page, each from its opening tag to its end
/// tag. Found by the chart's own opening, so that a comment's "<svg" (which
/// reaches the page unchanged) is not taken for one; an unended chart comes
/// back to its end, for the check to refuse.
inline std::vector<std::string_view> ChartsIn(std::string_view page) {
  constexpr std::string_view kOpening = "<svg class=\"DOFCHART\"";
  constexpr std::string_view kEnd = "</svg>";
  std::vector<std::string_view> charts;
  for (std::size_t at = page.find(kOpening); at != std::string_view::npos; at = page.find(kOpening, at + 1)) {
    const std::size_t end = page.find(kEnd, at);
    charts.push_back(page.substr(at, end == std::string_view::npos ? page.npos : end + kEnd.size() - at));
  }
  return charts;
}

}  // namespace velmo::test
