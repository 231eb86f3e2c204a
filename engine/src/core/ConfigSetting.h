#pragma once

#include <climits>
#include <cstddef>

namespace vt {

/// What a setting's value is, and so which part of it a getter reads.
enum class ConfigKind {
    /// An int, read as atoi reads it unless the row says otherwise; also the
    /// settings given by name (colours, window states), as their number.
    INT,
    /// A bool: exactly "true" gives true, any other text false.
    BOOL,
    /// A float, read as atof reads it.
    FLOAT,
    /// The text as it is.
    TEXT,
};

/// Which numbers an INT setting takes besides its names.
enum class ConfigNumbers {
    /// Any text: the digits atoi reads, 0 without any; nothing is refused.
    ANY,
    /// Text that begins with a number (an optional sign and a digit), within
    /// minimum to maximum.
    BOUNDED,
    /// Digits only, within minimum to maximum.
    DIGITS,
    /// The digits atoi reads, when they are not 0.
    NONZERO,
    /// None: only its names.
    NONE,
};

/// One row of the configuration table: a setting's key, kind and default,
/// the values it takes, the line that refuses any other, and where else it
/// goes (a recording's settings, a replay, the logged summary). Rows are
/// built with the functions below and the methods that follow them, e.g.
/// intSetting("frame_time", 33).within(0, 1000).refusedAs("frame time").
struct ConfigSetting {
    /// The key in configuration files.
    const char* key = nullptr;
    /// What the value is.
    ConfigKind kind = ConfigKind::INT;
    /// Default of an INT or BOOL setting (a flag as 1 or 0).
    int default_number = 0;
    /// Default of a FLOAT setting.
    float default_real = 0.0f;
    /// Default of a TEXT setting.
    const char* default_text = "";

    /// Which numbers an INT setting takes besides its names.
    ConfigNumbers numbers = ConfigNumbers::ANY;
    /// Smallest number taken (BOUNDED and DIGITS).
    int minimum = INT_MIN;
    /// Largest number taken (BOUNDED and DIGITS).
    int maximum = INT_MAX;
    /// Words taken instead of a number, each standing for its index.
    const char* const* names = nullptr;
    /// Number of names.
    std::size_t name_count = 0;
    /// What the refusal line calls the setting, as in
    /// "loadConfig(): Unsupported frame time '0'"; null when nothing is refused.
    const char* refused_as = nullptr;

    /// Smallest number start-up works with: the display and the grid refuse
    /// to start with less (checked in a recording's settings before start-up).
    int start_minimum = INT_MIN;
    /// Largest number start-up works with.
    int start_maximum = INT_MAX;

    /// Written into a recording's settings (Config::runSettingsText).
    bool in_recording = false;
    /// Applied from a recording when it is replayed: the settings that decide
    /// what happens in a run, never where it is logged, served or shown.
    bool replayed = false;
    /// Written into a recording only when it differs from its default, so
    /// that recordings of runs that leave it alone stay as they were.
    bool recorded_when_set = false;

    /// Label in the logged summary ("  Frame time: 33"); null when the
    /// summary leaves the setting out.
    const char* summary_label = nullptr;
    /// Place in the summary, counted from 1 (the summary has its own order).
    int summary_place = 0;
    /// The summary shows the value's name where it has one, not its number.
    bool summary_by_name = false;

    /// A copy of the row with one field changed; the methods below build rows with it.
    template <typename FIELD> constexpr ConfigSetting with(FIELD ConfigSetting::*field, FIELD value) const {
        ConfigSetting row = *this;
        row.*field = value;
        return row;
    }
    /// Takes numbers from `from` to `to` that begin the text; any other text is refused.
    constexpr ConfigSetting within(int from, int to) const {
        return with(&ConfigSetting::numbers, ConfigNumbers::BOUNDED)
            .with(&ConfigSetting::minimum, from)
            .with(&ConfigSetting::maximum, to);
    }
    /// Takes text of digits alone, from `from` to `to`; any other text is refused.
    constexpr ConfigSetting digitsWithin(int from, int to) const {
        return within(from, to).with(&ConfigSetting::numbers, ConfigNumbers::DIGITS);
    }
    /// Takes any number atoi reads except 0, which is refused.
    constexpr ConfigSetting nonZero() const { return with(&ConfigSetting::numbers, ConfigNumbers::NONZERO); }
    /// Takes these words, each standing for its index; a setting that takes
    /// no numbers otherwise takes only them.
    template <std::size_t COUNT> constexpr ConfigSetting named(const char* const (&words)[COUNT]) const {
        const ConfigNumbers taken = numbers == ConfigNumbers::ANY ? ConfigNumbers::NONE : numbers;
        return with(&ConfigSetting::numbers, taken)
            .with(&ConfigSetting::names, static_cast<const char* const*>(words))
            .with(&ConfigSetting::name_count, COUNT);
    }
    /// What the refusal line calls the setting ("frame time").
    constexpr ConfigSetting refusedAs(const char* name) const {
        return with(&ConfigSetting::refused_as, name);
    }
    /// Start-up refuses numbers outside `from` to `to` (a configuration file
    /// is read anyway, and the manager concerned refuses them when it starts).
    constexpr ConfigSetting startsWithin(int from, int to) const {
        return with(&ConfigSetting::start_minimum, from).with(&ConfigSetting::start_maximum, to);
    }
    /// Written into a recording's settings.
    constexpr ConfigSetting recorded() const { return with(&ConfigSetting::in_recording, true); }
    /// Written into a recording and applied from it when it is replayed.
    constexpr ConfigSetting replayedFromRecording() const {
        return recorded().with(&ConfigSetting::replayed, true);
    }
    /// Shown in the logged summary at this place, with this label.
    constexpr ConfigSetting summary(int place, const char* label) const {
        return with(&ConfigSetting::summary_place, place).with(&ConfigSetting::summary_label, label);
    }
    /// Written into a recording when it differs from its default, and
    /// applied from it when it is replayed; a recording without it replays
    /// with the default.
    constexpr ConfigSetting replayedWhenSet() const {
        return replayedFromRecording().with(&ConfigSetting::recorded_when_set, true);
    }
    /// Shown in the summary by its name, where the value has one.
    constexpr ConfigSetting summaryByName() const { return with(&ConfigSetting::summary_by_name, true); }

    /// True when some text can be refused.
    [[nodiscard]] constexpr bool canRefuse() const {
        return kind == ConfigKind::INT && numbers != ConfigNumbers::ANY;
    }
};

/// An int setting.
constexpr ConfigSetting intSetting(const char* key, int default_value) {
    return ConfigSetting().with(&ConfigSetting::key, key).with(&ConfigSetting::default_number, default_value);
}

/// A bool setting.
constexpr ConfigSetting boolSetting(const char* key, bool default_value) {
    return intSetting(key, default_value ? 1 : 0).with(&ConfigSetting::kind, ConfigKind::BOOL);
}

/// A float setting.
constexpr ConfigSetting floatSetting(const char* key, float default_value) {
    return intSetting(key, 0)
        .with(&ConfigSetting::kind, ConfigKind::FLOAT)
        .with(&ConfigSetting::default_real, default_value);
}

/// A text setting.
constexpr ConfigSetting textSetting(const char* key, const char* default_value) {
    return intSetting(key, 0)
        .with(&ConfigSetting::kind, ConfigKind::TEXT)
        .with(&ConfigSetting::default_text, default_value);
}

} // namespace vt
