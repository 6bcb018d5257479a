#include "doc/line_archive.h"

bool LineReader::ReadLine(std::string& line) {
    line.clear();
    if (AtEnd())
        return false;
    // Looking at most one full line plus CR LF ahead keeps a huge line linear to split.
    std::string_view head =
        std::string_view(bytes_).substr(position_).substr(0, kMaxLineLength + 2);
    size_t lineFeed = head.find('\n');
    std::string_view content = head.substr(0, lineFeed);
    size_t consumed = lineFeed == std::string_view::npos ? content.size() : lineFeed + 1;
    if (lineFeed != std::string_view::npos && content.ends_with('\r'))
        content.remove_suffix(1);
    if (content.size() > kMaxLineLength) {
        content = content.substr(0, kMaxLineLength);
        consumed = kMaxLineLength;
    }
    line.assign(content);
    position_ += consumed;
    return true;
}
