#pragma once

#include <string>
#include <utility>

namespace trazel {

// A text of lines as word processors and spreadsheets take it from the clipboard: CR LF between the
// lines, and after the last one only where a text asks for it; no lines make an empty text.
class ClipboardText {
public:
    // Starts a new line and gives it to be written into.
    std::string& line() {
        if (m_lines++ > 0) {
            m_text += "\r\n";
        }
        return m_text;
    }
    void addLine(std::string_view text) { line() += text; }
    void reserve(std::size_t bytes) { m_text.reserve(bytes); }
    std::string take() && { return std::move(m_text); }
    // The text with CR LF after every line, the last one included.
    std::string takeEndingEveryLine() && {
        if (m_lines > 0) {
            m_text += "\r\n";
        }
        return std::move(m_text);
    }

private:
    std::string m_text;
    std::size_t m_lines = 0;
};

} // namespace trazel
