#include "media/FontCoverage.h"

#include <algorithm>
#include <iterator>

#include "vintrel/core/Utf8.h"

namespace vt {

namespace {

// A font file begins with its table directory: a 12-byte header, then 16 bytes per table.
constexpr std::size_t DIRECTORY_HEADER = 12;
constexpr std::size_t TABLE_RECORD = 16;
constexpr std::size_t ENCODING_RECORD = 8;
constexpr std::size_t FORMAT_4_HEADER = 14;
constexpr std::size_t FORMAT_12_HEADER = 16;
constexpr std::size_t FORMAT_12_GROUP = 12;

bool fits(const std::string& bytes, std::size_t at, std::size_t count) {
    return at <= bytes.size() && count <= bytes.size() - at;
}

// Big-endian numbers; the caller has checked that they lie within the bytes.
std::uint32_t u16At(const std::string& bytes, std::size_t at) {
    return (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) << 8) |
           static_cast<unsigned char>(bytes[at + 1]);
}

std::uint32_t u32At(const std::string& bytes, std::size_t at) {
    return (u16At(bytes, at) << 16) | u16At(bytes, at + 2);
}

// Where a table lies in the file, or false when the directory names none that fits.
bool findTable(const std::string& bytes, std::size_t directory, const char* tag, std::size_t* p_at,
               std::size_t* p_length) {
    if (!fits(bytes, directory, DIRECTORY_HEADER))
        return false;
    const std::uint32_t tables = u16At(bytes, directory + 4);
    for (std::uint32_t i = 0; i < tables; i++) {
        const std::size_t record = directory + DIRECTORY_HEADER + i * TABLE_RECORD;
        if (!fits(bytes, record, TABLE_RECORD))
            return false;
        if (bytes.compare(record, 4, tag) != 0)
            continue;
        const std::uint32_t at = u32At(bytes, record + 8);
        const std::uint32_t length = u32At(bytes, record + 12);
        if (!fits(bytes, at, length))
            return false;
        *p_at = at;
        *p_length = length;
        return true;
    }
    return false;
}

// How much a character map subtable is worth: full Unicode maps before those of
// the first 65,536 code points, as the font library chooses. 0 for one not used.
int subtableRank(std::uint32_t platform, std::uint32_t encoding, std::uint32_t format) {
    const bool unicode = platform == 0 || (platform == 3 && (encoding == 1 || encoding == 10));
    if (!unicode)
        return 0;
    if (format == 12)
        return 2;
    return format == 4 ? 1 : 0;
}

} // namespace

bool FontCoverage::read(const std::string& font_bytes) {
    m_ranges.clear();
    m_known = false;
    std::size_t directory = 0;
    if (font_bytes.compare(0, 4, "ttcf") == 0) {
        if (!fits(font_bytes, 12, 4))
            return false;
        directory = u32At(font_bytes, 12);
    }
    std::size_t cmap = 0;
    std::size_t cmap_length = 0;
    if (!findTable(font_bytes, directory, "cmap", &cmap, &cmap_length) || cmap_length < 4)
        return false;
    // Glyph numbers at or past the font's count are no glyphs, as the font library treats them.
    std::uint32_t glyph_count = 0x10000;
    std::size_t maxp = 0;
    std::size_t maxp_length = 0;
    if (findTable(font_bytes, directory, "maxp", &maxp, &maxp_length) && maxp_length >= 6)
        glyph_count = u16At(font_bytes, maxp + 4);

    const std::size_t cmap_end = cmap + cmap_length;
    const std::uint32_t subtables = u16At(font_bytes, cmap + 2);
    std::size_t best = 0;
    int best_rank = 0;
    for (std::uint32_t i = 0; i < subtables; i++) {
        const std::size_t record = cmap + 4 + i * ENCODING_RECORD;
        if (record + ENCODING_RECORD > cmap_end)
            break;
        const std::size_t at = cmap + u32At(font_bytes, record + 4);
        if (at + 2 > cmap_end)
            continue;
        const int rank =
            subtableRank(u16At(font_bytes, record), u16At(font_bytes, record + 2), u16At(font_bytes, at));
        if (rank > best_rank) {
            best_rank = rank;
            best = at;
        }
    }
    const bool read = best_rank == 2   ? readFormat12(font_bytes, best, cmap_end, glyph_count)
                      : best_rank == 1 ? readFormat4(font_bytes, best, cmap_end, glyph_count)
                                       : false;
    if (!read) {
        m_ranges.clear();
        return false;
    }
    std::sort(m_ranges.begin(), m_ranges.end(),
              [](const Range& a, const Range& b) { return a.first < b.first; });
    std::vector<Range> merged;
    for (const Range& range : m_ranges) {
        if (!merged.empty() && range.first <= merged.back().last + 1)
            merged.back().last = std::max(merged.back().last, range.last);
        else
            merged.push_back(range);
    }
    m_ranges = std::move(merged);
    m_known = true;
    return true;
}

bool FontCoverage::readFormat4(const std::string& bytes, std::size_t at, std::size_t end,
                               std::uint32_t glyph_count) {
    // The subtable's own length field is left aside: large maps overflow its
    // 16 bits, and the table's end bounds every read just as well.
    if (at + FORMAT_4_HEADER > end)
        return false;
    const std::size_t segments = u16At(bytes, at + 6) / 2;
    const std::size_t end_codes = at + FORMAT_4_HEADER;
    const std::size_t start_codes = end_codes + 2 * segments + 2;
    const std::size_t deltas = start_codes + 2 * segments;
    const std::size_t range_offsets = deltas + 2 * segments;
    if (range_offsets + 2 * segments > end)
        return false;
    // Segments ascend; one reaching back over an earlier one is cut to what is
    // new, so that a hostile map costs at most one look per 16-bit code point.
    std::uint32_t next_free = 0;
    for (std::size_t i = 0; i < segments; i++) {
        const std::uint32_t last = u16At(bytes, end_codes + 2 * i);
        const std::uint32_t first = std::max(u16At(bytes, start_codes + 2 * i), next_free);
        const std::uint32_t delta = u16At(bytes, deltas + 2 * i);
        const std::size_t offset_at = range_offsets + 2 * i;
        const std::uint32_t range_offset = u16At(bytes, offset_at);
        const std::uint32_t segment_start = u16At(bytes, start_codes + 2 * i);
        for (std::uint32_t code = first; code <= last; code++) {
            std::uint32_t glyph = 0;
            if (range_offset == 0) {
                glyph = (code + delta) & 0xFFFF;
            } else {
                const std::size_t glyph_at = offset_at + range_offset + 2 * (code - segment_start);
                if (glyph_at + 2 <= end && u16At(bytes, glyph_at) != 0)
                    glyph = (u16At(bytes, glyph_at) + delta) & 0xFFFF;
            }
            if (glyph != 0 && glyph < glyph_count)
                addCovered(code);
        }
        next_free = std::max(next_free, last + 1);
    }
    return true;
}

bool FontCoverage::readFormat12(const std::string& bytes, std::size_t at, std::size_t end,
                                std::uint32_t glyph_count) {
    if (at + FORMAT_12_HEADER > end)
        return false;
    const std::uint32_t length = u32At(bytes, at + 4);
    if (length < FORMAT_12_HEADER || length > end - at)
        return false;
    end = at + length;
    const std::uint32_t groups = u32At(bytes, at + 12);
    if (groups > (end - at - FORMAT_12_HEADER) / FORMAT_12_GROUP)
        return false;
    for (std::uint32_t i = 0; i < groups; i++) {
        const std::size_t group = at + FORMAT_12_HEADER + i * FORMAT_12_GROUP;
        std::uint32_t first = u32At(bytes, group);
        std::uint32_t last = std::min<std::uint32_t>(u32At(bytes, group + 4), LAST_CODE_POINT);
        std::uint32_t first_glyph = u32At(bytes, group + 8);
        if (first_glyph == 0 && first < last) {
            first++;
            first_glyph++;
        }
        if (first > last || first_glyph == 0 || first_glyph >= glyph_count)
            continue;
        // Glyph numbers run up from first_glyph; those past the font's count are none.
        const std::uint32_t glyphs_left = glyph_count - first_glyph;
        if (last - first >= glyphs_left)
            last = first + glyphs_left - 1;
        m_ranges.push_back(Range{first, last});
    }
    return true;
}

void FontCoverage::addCovered(char32_t code_point) {
    if (!m_ranges.empty() && m_ranges.back().last + 1 == code_point)
        m_ranges.back().last = code_point;
    else
        m_ranges.push_back(Range{code_point, code_point});
}

bool FontCoverage::covers(char32_t code_point) const {
    if (!m_known)
        return true;
    const auto after =
        std::upper_bound(m_ranges.begin(), m_ranges.end(), code_point,
                         [](char32_t value, const Range& range) { return value < range.first; });
    return after != m_ranges.begin() && code_point <= std::prev(after)->last;
}

} // namespace vt
