// The capture pane's text taken apart into its time-stamped lines.
#pragma once
#include <string>
#include <vector>

struct PaneLine {
    std::string stamp;  // "HH:MM:SS.mmm"
    std::string text;   // what follows ": "
};

// Splits at each CR LF; false when a line lacks the 14-character time prefix.
bool splitPane(const std::string& pane, std::vector<PaneLine>& lines, std::string* why = nullptr);

// The texts of the lines, in order.
std::vector<std::string> paneTexts(const std::string& pane);

// The lines as the text-mode log stores them: every line feed written as CR LF.
std::string asLogged(const std::string& paneSegment);

// The part of the pane from the start of the first line whose text begins with first to the end
// (line end included) of the first following line whose text is last; empty when not there.
std::string paneSegment(const std::string& pane, const std::string& first, const std::string& last);
