#include "vintrel/replay/ReplayFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <fstream>
#include <map>
#include <set>

#include "core/ByteCodec.h"
#include "platform/AtomicFileWrite.h"
#include "replay/CheckpointDetail.h"
#include "replay/Fnv.h"
#include "vintrel/core/Utf8.h"
#include "vintrel/events/EventKeyboard.h"
#include "vintrel/events/EventMouse.h"
#include "vintrel/input/Key.h"

namespace vt {

namespace {

enum Tag : std::uint8_t {
    TAG_KEYBOARD = ReplayFile::Input::KEYBOARD,
    TAG_MOUSE = ReplayFile::Input::MOUSE,
    TAG_CLOSE = ReplayFile::Input::CLOSE,
    TAG_TYPE = 4,
    TAG_CHECKPOINT = 5,
    TAG_END = 6,
    TAG_STOP = ReplayFile::Input::STOP,
    // Written only by recordings that use them: a recording without them
    // reads as it always did, everywhere.
    TAG_DETAIL = 8,
    TAG_SAVED_VALUE = 9,
    TAG_GAME_SETTING = 10,
};

// Bytes of one object in a checkpoint: id, type index, hash.
constexpr std::size_t OBJECT_SUM_BYTES = 4 + 2 + 4;
constexpr std::size_t MAX_TYPES = 0xFFFF;

void writeInput(ByteWriter& out, const ReplayFile::Input& input) {
    out.u8(static_cast<std::uint8_t>(input.kind));
    out.u32(static_cast<std::uint32_t>(input.step));
    if (input.kind == ReplayFile::Input::KEYBOARD) {
        out.u8(static_cast<std::uint8_t>(input.action));
        out.u16(static_cast<std::uint16_t>(static_cast<std::int16_t>(input.code)));
    } else if (input.kind == ReplayFile::Input::MOUSE) {
        out.u8(static_cast<std::uint8_t>(input.action));
        out.u8(static_cast<std::uint8_t>(static_cast<std::int8_t>(input.code)));
        out.f32(input.position.getX());
        out.f32(input.position.getY());
    }
}

void writeCheckpoint(ByteWriter& out, const ReplayFile::Checkpoint& checkpoint,
                     std::map<std::string, std::uint16_t>& types) {
    // A type is named once, before the first checkpoint that holds it.
    for (const ReplayFile::ObjectSum& object : checkpoint.objects) {
        if (types.count(object.type) != 0 || types.size() >= MAX_TYPES)
            continue;
        const std::string name = clipUtf8(object.type, ReplayFile::MAX_TYPE_BYTES);
        const auto index = static_cast<std::uint16_t>(types.size());
        types.emplace(object.type, index);
        out.u8(TAG_TYPE);
        out.u16(index);
        out.u8(static_cast<std::uint8_t>(name.size()));
        out.raw(name);
    }
    out.u8(TAG_CHECKPOINT);
    out.u32(static_cast<std::uint32_t>(checkpoint.step));
    out.u64(checkpoint.world_hash);
    out.u32(static_cast<std::uint32_t>(checkpoint.objects.size()));
    for (const ReplayFile::ObjectSum& object : checkpoint.objects) {
        const auto found = types.find(object.type);
        out.i32(object.id);
        out.u16(found != types.end() ? found->second : 0);
        out.u32(object.hash);
    }
}

// A name (1 to 255 bytes) and a value, each after its length.
void writeNamedValue(ByteWriter& out, const std::string& name, const std::string& value) {
    const std::string cut_name = name.substr(0, ReplayFile::MAX_NAME_BYTES);
    const std::string cut_value = value.substr(0, ReplayFile::MAX_VALUE_BYTES);
    out.u8(static_cast<std::uint8_t>(cut_name.size()));
    out.raw(cut_name);
    out.u32(static_cast<std::uint32_t>(cut_value.size()));
    out.raw(cut_value);
}

void writeNamedValues(ByteWriter& out, const ReplayFile& file) {
    for (const ReplayFile::GameSetting& setting : file.game_settings) {
        out.u8(TAG_GAME_SETTING);
        writeNamedValue(out, setting.name, setting.value);
    }
    for (const ReplayFile::SavedValue& saved : file.saved_values) {
        out.u8(TAG_SAVED_VALUE);
        out.u8(saved.present ? 1 : 0);
        writeNamedValue(out, saved.key, saved.present ? saved.value : std::string());
    }
}

bool validInput(const ReplayFile::Input& input) {
    switch (input.kind) {
    case ReplayFile::Input::KEYBOARD:
        return input.action >= KEY_ACTION_PRESSED && input.action <= KEY_ACTION_HELD &&
               input.code >= KEY_UNDEFINED && input.code <= KEY_BACKTICK;
    case ReplayFile::Input::MOUSE:
        return input.action >= MOUSE_ACTION_CLICKED && input.action <= MOUSE_ACTION_MOVED &&
               input.code >= MOUSE_BUTTON_UNDEFINED && input.code <= MOUSE_BUTTON_MIDDLE &&
               std::isfinite(input.position.getX()) && std::isfinite(input.position.getY());
    case ReplayFile::Input::CLOSE:
    case ReplayFile::Input::STOP:
        return true;
    }
    return false;
}

// Reads the records after the header; the error names what is wrong and where.
class RecordReader {
  public:
    RecordReader(const std::string& bytes, ByteReader& in, ReplayFile& file)
        : m_bytes(bytes), m_in(in), m_file(file) {}

    bool readAll(std::string& error) {
        while (true) {
            const std::size_t at = m_in.position();
            std::uint8_t tag = 0;
            if (!m_in.u8(tag))
                return fail(error, "truncated: the file ends without its end record");
            bool ok = false;
            switch (tag) {
            case TAG_KEYBOARD:
            case TAG_MOUSE:
            case TAG_CLOSE:
            case TAG_STOP:
                ok = readInput(static_cast<ReplayFile::Input::Kind>(tag), at, error);
                break;
            case TAG_TYPE:
                ok = readType(at, error);
                break;
            case TAG_CHECKPOINT:
                ok = readCheckpoint(at, error);
                break;
            case TAG_DETAIL:
                ok = readDetail(at, error);
                break;
            case TAG_SAVED_VALUE:
            case TAG_GAME_SETTING:
                ok = readNamedValue(tag, at, error);
                break;
            case TAG_END:
                return readEnd(at, error);
            default:
                return fail(error, "corrupted: unknown record kind " + std::to_string(tag) + " at byte " +
                                       std::to_string(at));
            }
            if (!ok)
                return false;
            m_detail_due = m_detail_due && tag == TAG_CHECKPOINT;
        }
    }

  private:
    static bool fail(std::string& error, const std::string& text) {
        error = text;
        return false;
    }
    static bool truncated(std::string& error, const char* what, std::size_t at) {
        return fail(error, std::string("truncated: the file ends inside ") + what + " record at byte " +
                               std::to_string(at));
    }

    bool readStep(int& step) {
        std::uint32_t value = 0;
        if (!m_in.u32(value))
            return false;
        step = static_cast<int>(value & INT_MAX);
        m_step_too_large = m_step_too_large || value > INT_MAX;
        return true;
    }

    bool readInput(ReplayFile::Input::Kind kind, std::size_t at, std::string& error) {
        ReplayFile::Input input;
        input.kind = kind;
        bool complete = readStep(input.step);
        if (complete && kind == ReplayFile::Input::KEYBOARD) {
            std::uint8_t action = 0;
            std::uint16_t code = 0;
            complete = m_in.u8(action) && m_in.u16(code);
            input.action = action;
            input.code = static_cast<std::int16_t>(code);
        } else if (complete && kind == ReplayFile::Input::MOUSE) {
            std::uint8_t action = 0;
            std::uint8_t button = 0;
            float x = 0;
            float y = 0;
            complete = m_in.u8(action) && m_in.u8(button) && m_in.f32(x) && m_in.f32(y);
            input.action = action;
            input.code = static_cast<std::int8_t>(button);
            input.position = Vector(x, y);
        }
        if (!complete)
            return truncated(error, "an input", at);
        if (!validInput(input) || m_step_too_large)
            return fail(error, "corrupted: impossible input event at byte " + std::to_string(at));
        if (!m_file.inputs.empty() && input.step < m_file.inputs.back().step)
            return fail(error, "corrupted: input steps go backwards at byte " + std::to_string(at));
        m_file.inputs.push_back(input);
        return true;
    }

    bool readType(std::size_t at, std::string& error) {
        std::uint16_t index = 0;
        std::uint8_t length = 0;
        std::string name;
        if (!m_in.u16(index) || !m_in.u8(length) || !m_in.raw(name, length))
            return truncated(error, "a type", at);
        if (index != m_types.size() || index >= MAX_TYPES || length == 0)
            return fail(error, "corrupted: type names out of order at byte " + std::to_string(at));
        m_types.push_back(name);
        return true;
    }

    bool readCheckpoint(std::size_t at, std::string& error) {
        ReplayFile::Checkpoint checkpoint;
        std::uint32_t count = 0;
        if (!readStep(checkpoint.step) || !m_in.u64(checkpoint.world_hash) || !m_in.u32(count))
            return truncated(error, "a checkpoint", at);
        // The count is checked against what is left before anything is reserved.
        if (count > m_in.left() / OBJECT_SUM_BYTES)
            return truncated(error, "a checkpoint", at);
        if (m_step_too_large ||
            (!m_file.checkpoints.empty() && checkpoint.step <= m_file.checkpoints.back().step))
            return fail(error, "corrupted: checkpoint steps out of order at byte " + std::to_string(at));
        checkpoint.objects.reserve(count);
        for (std::uint32_t i = 0; i < count; i++) {
            ReplayFile::ObjectSum object;
            std::uint16_t type = 0;
            m_in.i32(object.id);
            m_in.u16(type);
            m_in.u32(object.hash);
            if (type >= m_types.size() ||
                (!checkpoint.objects.empty() && object.id <= checkpoint.objects.back().id))
                return fail(error,
                            "corrupted: bad object list in the checkpoint at byte " + std::to_string(at));
            object.type = m_types[type];
            checkpoint.objects.push_back(std::move(object));
        }
        m_file.checkpoints.push_back(std::move(checkpoint));
        m_detail_due = true;
        return true;
    }

    // The detail of the checkpoint just before it, at most one.
    bool readDetail(std::size_t at, std::string& error) {
        std::uint32_t size = 0;
        std::string detail;
        if (!m_in.u32(size) || !m_in.raw(detail, size))
            return truncated(error, "a checkpoint detail", at);
        std::string why;
        if (!m_detail_due || !replay::CheckpointDetail::check(detail, m_file.checkpoints.back(), why))
            return fail(error, "corrupted: a checkpoint detail at byte " + std::to_string(at) +
                                   (m_detail_due ? " does not fit: " + why : " follows no checkpoint"));
        m_file.details[m_file.checkpoints.back().step] = std::move(detail);
        return true;
    }

    bool readNamedValue(std::uint8_t tag, std::size_t at, std::string& error) {
        const bool saved = tag == TAG_SAVED_VALUE;
        std::uint8_t present = 1;
        std::uint8_t name_size = 0;
        std::uint32_t value_size = 0;
        std::string name;
        std::string value;
        const char* what = saved ? "a saved value" : "a game setting";
        if ((saved && !m_in.u8(present)) || !m_in.u8(name_size) || !m_in.raw(name, name_size) ||
            !m_in.u32(value_size))
            return truncated(error, what, at);
        // Checked before the value is read: the length may be forged.
        if (name_size == 0 || present > 1 || value_size > ReplayFile::MAX_VALUE_BYTES ||
            (present == 0 && value_size != 0))
            return fail(error,
                        std::string("corrupted: ") + what + " out of range at byte " + std::to_string(at));
        if (!m_in.raw(value, value_size))
            return truncated(error, what, at);
        std::set<std::string>& names = saved ? m_saved_keys : m_setting_names;
        if (names.size() >= ReplayFile::MAX_NAMED_VALUES || !names.insert(name).second)
            return fail(error, std::string("corrupted: ") + what + " repeated, or one too many, at byte " +
                                   std::to_string(at));
        if (saved)
            m_file.saved_values.push_back({name, present == 1, value});
        else
            m_file.game_settings.push_back({name, value});
        return true;
    }

    bool readEnd(std::size_t at, std::string& error) {
        std::uint64_t checksum = 0;
        if (!readStep(m_file.step_count))
            return truncated(error, "the end", at);
        const std::size_t covered = m_in.position();
        if (!m_in.u64(checksum))
            return truncated(error, "the end", at);
        if (m_in.left() != 0)
            return fail(error, "corrupted: data after the end record");
        if (fnv1a(m_bytes.data(), covered) != checksum)
            return fail(error, "corrupted: the checksum does not match the contents");
        const int last_input = m_file.inputs.empty() ? -1 : m_file.inputs.back().step;
        const int last_checkpoint = m_file.checkpoints.empty() ? -1 : m_file.checkpoints.back().step;
        if (m_step_too_large || last_input >= m_file.step_count || last_checkpoint >= m_file.step_count)
            return fail(error, "corrupted: events or checkpoints after the last step");
        return m_file.checkCoverage(error) == 0;
    }

    const std::string& m_bytes;
    ByteReader& m_in;
    ReplayFile& m_file;
    std::vector<std::string> m_types;
    std::set<std::string> m_saved_keys;
    std::set<std::string> m_setting_names;
    bool m_step_too_large = false;
    // True right after a checkpoint, which a detail may follow.
    bool m_detail_due = false;
};

} // namespace

std::string ReplayFile::encode() const {
    ByteWriter out;
    out.raw(std::string(MAGIC, sizeof(MAGIC)));
    out.u16(VERSION);
    out.i32(seed);
    out.u32(static_cast<std::uint32_t>(checkpoint_interval));
    out.u32(static_cast<std::uint32_t>(path_expansions));
    const std::string text = config.substr(0, MAX_CONFIG_BYTES);
    out.u32(static_cast<std::uint32_t>(text.size()));
    out.raw(text);
    writeNamedValues(out, *this);

    // Inputs and checkpoints in step order, each step's inputs first: the
    // checkpoint of a step is taken at its end.
    std::map<std::string, std::uint16_t> types;
    std::size_t next_input = 0;
    for (const Checkpoint& checkpoint : checkpoints) {
        while (next_input < inputs.size() && inputs[next_input].step <= checkpoint.step)
            writeInput(out, inputs[next_input++]);
        writeCheckpoint(out, checkpoint, types);
        const auto detail = details.find(checkpoint.step);
        if (detail != details.end() && !detail->second.empty()) {
            out.u8(TAG_DETAIL);
            out.u32(static_cast<std::uint32_t>(detail->second.size()));
            out.raw(detail->second);
        }
    }
    while (next_input < inputs.size())
        writeInput(out, inputs[next_input++]);

    out.u8(TAG_END);
    out.u32(static_cast<std::uint32_t>(step_count));
    const std::uint64_t checksum = fnv1a(out.bytes().data(), out.bytes().size());
    out.u64(checksum);
    return out.bytes();
}

int ReplayFile::decode(const std::string& bytes, std::string& error) {
    ByteReader in(bytes);
    std::string magic;
    if (!in.raw(magic, sizeof(MAGIC)) || magic != std::string(MAGIC, sizeof(MAGIC))) {
        error = "not a replay file (it does not start with VTREPLAY)";
        return -1;
    }
    std::uint16_t version = 0;
    ReplayFile file;
    std::uint32_t interval = 0;
    std::uint32_t expansions = 0;
    std::uint32_t config_bytes = 0;
    if (!in.u16(version)) {
        error = "truncated: the file ends inside its header";
        return -1;
    }
    if (version != VERSION) {
        error = "replay format version " + std::to_string(version) + ", this program reads version " +
                std::to_string(VERSION);
        return -1;
    }
    if (!in.i32(file.seed) || !in.u32(interval) || !in.u32(expansions) || !in.u32(config_bytes)) {
        error = "truncated: the file ends inside its header";
        return -1;
    }
    if (interval < 1 || interval > MAX_INTERVAL || expansions < 1 || expansions > MAX_INTERVAL ||
        config_bytes > MAX_CONFIG_BYTES) {
        error = "corrupted: impossible settings in the header";
        return -1;
    }
    if (!in.raw(file.config, config_bytes)) {
        error = "truncated: the file ends inside its header";
        return -1;
    }
    file.checkpoint_interval = static_cast<int>(interval);
    file.path_expansions = static_cast<int>(expansions);

    RecordReader records(bytes, in, file);
    if (!records.readAll(error))
        return -1;
    *this = std::move(file);
    return 0;
}

int ReplayFile::checkCoverage(std::string& error) const {
    // Without this, a few bytes could declare billions of steps, or a file
    // stripped of its checkpoints would replay as a match.
    if (step_count < 1) {
        error = "corrupted: it records no steps";
        return -1;
    }
    int covered = -1;
    for (const Checkpoint& checkpoint : checkpoints) {
        if (checkpoint.step <= covered || checkpoint.step >= step_count ||
            checkpoint.step - covered > checkpoint_interval)
            break;
        covered = checkpoint.step;
    }
    if (covered == step_count - 1)
        return 0;
    const long long due =
        std::min<long long>(static_cast<long long>(covered) + checkpoint_interval, step_count - 1);
    error = "corrupted: no checkpoint by step " + std::to_string(due) + " of its " +
            std::to_string(step_count) + " (one is due every " + std::to_string(checkpoint_interval) +
            " steps and at the last)";
    return -1;
}

int ReplayFile::save(const std::string& path, std::string& error) const {
    // A new recording replaces an earlier one only once it is whole.
    std::string reason;
    std::string kept;
    if (platform::writeFileAtomically(path, encode(), &reason, &kept) == 0)
        return 0;
    error = path + ": " + reason + " (the file is left as it was" +
            (kept.empty() ? std::string(")") : "; the new recording is kept in " + kept + ")");
    return -1;
}

int ReplayFile::load(const std::string& path, std::string& error) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        error = path + ": " + std::strerror(errno);
        return -1;
    }
    if (!S_ISREG(info.st_mode)) {
        error = path + ": not a regular file";
        return -1;
    }
    if (static_cast<std::uint64_t>(info.st_size) > MAX_FILE_BYTES) {
        error = path + ": larger than any replay (" + std::to_string(info.st_size) + " bytes)";
        return -1;
    }
    std::ifstream in(path, std::ios::binary);
    // Never more than the size checked above, even if the file grows meanwhile.
    std::string bytes(static_cast<std::size_t>(info.st_size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!in.is_open() || in.bad()) {
        error = path + ": cannot be read";
        return -1;
    }
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (decode(bytes, error) != 0) {
        error = path + ": " + error;
        return -1;
    }
    return 0;
}

} // namespace vt
