#pragma once

#include <cstddef>
#include <deque>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "vintrel/core/Color.h"
#include "vintrel/media/Frame.h"

namespace vt {

class Sprite;

/// Reads one sprite from a text stream in either sprite file format,
/// counting lines for its messages. The text is untrusted: every malformed
/// input is refused with log lines, and nothing is allocated beyond what the
/// text itself holds. It needs no manager started, only the log (which
/// writes to standard error while it is not started).
class SpriteReader {
  public:
    using Lines = std::deque<std::string>;

    /// The stream must be readable from its start and seekable back to it.
    explicit SpriteReader(std::istream& stream);

    /// Chooses the format from the first line and reads the sprite; null
    /// after logging why not. The label is left for the caller to set.
    [[nodiscard]] std::unique_ptr<Sprite> readSprite();
    /// The five-line header format; null after logging why not.
    [[nodiscard]] std::unique_ptr<Sprite> loadSimpleSprite();
    /// The HEADER, BODY and FOOTER format; null after logging why not.
    [[nodiscard]] std::unique_ptr<Sprite> loadRobustSprite();

    /// What the five header lines of the simple format say, checked.
    struct SimpleHeader {
        int frames = 0;
        int width = 0;
        int height = 0;
        int slowdown = 0;
        Color color = WHITE;
    };
    /// Reads and checks the five header lines; nothing after logging why not.
    [[nodiscard]] std::optional<SimpleHeader> readSimpleHeader();
    /// Reads the rows of every frame into the sprite; false after logging why not.
    [[nodiscard]] bool readSimpleFrames(Sprite& sprite, const SimpleHeader& header);
    /// True when the file ends right after the last row; false after logging what follows.
    [[nodiscard]] bool readSimpleEnd();

    /// What a robust HEADER section says, its sizes checked to be at least 1.
    struct RobustHeader {
        int frames = 0;
        int width = 0;
        int height = 0;
        int slowdown = 0;
        char32_t transparency = 0; // 0 for none; a byte or a Unicode character
        std::string color_name;
    };
    /// Reads and checks the HEADER section; nothing after logging why not.
    [[nodiscard]] std::optional<RobustHeader> readRobustHeader();
    /// Reads the BODY section into a sprite of the header's sizes and colour;
    /// null after logging why not.
    [[nodiscard]] std::unique_ptr<Sprite> readRobustBody(const RobustHeader& header);
    /// Reads the FOOTER section, which must name a version; false after
    /// logging why not.
    [[nodiscard]] bool readRobustFooter();

    /// One line without its line feed and one trailing carriage return;
    /// empty after logging when the stream ends before a line feed.
    std::string getLine(bool count);
    /// The lines between <tag> and </tag>; empty on failure or an empty section.
    Lines readData(const std::string& tag);
    /// Takes every line starting with key out of lines; the last one's
    /// number, or nothing when there is none.
    std::optional<int> matchLineInt(Lines& lines, const std::string& key);
    /// Takes every line starting with key out of lines; the last one's
    /// value, or empty when there is none.
    std::string matchLineStr(Lines& lines, const std::string& key);
    /// Takes one frame and its "end" line off the front of body. line_number
    /// is the file line just before the frame and advances past it. An empty
    /// frame means failure.
    Frame readBodyFrame(Lines& body, int width, int height, int& line_number);

    /// Lines counted so far in this stream.
    int getLineNumber() const { return m_line_number; }

  private:
    /// Removes the lines that start with key and returns them in order.
    static std::vector<std::string> takeKeyLines(Lines& lines, const std::string& key);
    /// The text of a key line after the key and its one separator.
    static std::string valueOf(const std::string& line, const std::string& key);
    /// The level-5 summary of a header's numbers.
    static void logSizes(int frames, int width, int height, int slowdown);
    /// A sprite of the given sizes, or null after the reader's message.
    static std::unique_ptr<Sprite> createSprite(const char* reader, int frames, int width, int height,
                                                int slowdown);
    /// False after the message that refuses a negative robust header
    /// number (the simple format's line checks give their own).
    static bool refuseNegative(const char* reader, const char* key, int value);
    /// Reads one header number line of the simple format; false after
    /// logging that it is missing.
    bool readSimpleValue(const char* what, std::string& text);

    /// How a frame row measures up: its width in characters, or where it stops being UTF-8.
    struct RowCells {
        std::size_t cells = 0;
        std::size_t invalid_at = std::string::npos; // byte offset, npos when the row is UTF-8
    };
    static RowCells measureRow(const std::string& row);
    /// The row as the log shows it: ill-formed parts as U+FFFD, clipped.
    static std::string rowForLog(const std::string& row);
    /// A frame of the rows' bytes when they are ASCII, of their Unicode characters otherwise.
    static Frame makeFrame(int width, int height, const std::string& rows);

    std::istream& m_stream;
    int m_line_number;
};

} // namespace vt
