#include "PaneLines.h"

#include <cctype>

namespace {

bool isStamp(const std::string& s, size_t at)
{
    // "HH:MM:SS.mmm: "
    static const char shape[] = "dd:dd:dd.ddd: ";
    if (s.size() < at + 14) return false;
    for (size_t i = 0; i < 14; ++i) {
        char c = s[at + i];
        if (shape[i] == 'd' ? !std::isdigit(static_cast<unsigned char>(c)) : c != shape[i]) return false;
    }
    return true;
}

}  // namespace

bool splitPane(const std::string& pane, std::vector<PaneLine>& lines, std::string* why)
{
    lines.clear();
    size_t at = 0;
    while (at < pane.size()) {
        size_t end = pane.find("\r\n", at);
        if (end == std::string::npos) {
            if (why) *why = "no line end after offset " + std::to_string(at);
            return false;
        }
        if (!isStamp(pane, at)) {
            if (why) *why = "no time prefix at offset " + std::to_string(at) + ": " + pane.substr(at, 20);
            return false;
        }
        lines.push_back({pane.substr(at, 12), pane.substr(at + 14, end - at - 14)});
        at = end + 2;
    }
    return true;
}

std::vector<std::string> paneTexts(const std::string& pane)
{
    std::vector<PaneLine> lines;
    splitPane(pane, lines);
    std::vector<std::string> texts;
    for (const PaneLine& l : lines) texts.push_back(l.text);
    return texts;
}

std::string asLogged(const std::string& paneSegment)
{
    std::string out;
    for (size_t i = 0; i < paneSegment.size(); ++i) {
        char c = paneSegment[i];
        if (c == '\n' && (i == 0 || paneSegment[i - 1] != '\r')) out += '\r';
        out += c;
    }
    return out;
}

std::string paneSegment(const std::string& pane, const std::string& first, const std::string& last)
{
    size_t at = 0;
    size_t start = std::string::npos;
    while (at < pane.size()) {
        size_t end = pane.find("\r\n", at);
        if (end == std::string::npos) break;
        std::string text = end - at >= 14 ? pane.substr(at + 14, end - at - 14) : std::string();
        if (start == std::string::npos) {
            if (text.compare(0, first.size(), first) == 0) start = at;
        }
        if (start != std::string::npos && text == last) return pane.substr(start, end + 2 - start);
        at = end + 2;
    }
    return std::string();
}
