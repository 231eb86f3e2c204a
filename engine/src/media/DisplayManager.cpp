#include "vintrel/media/DisplayManager.h"

#include <SFML/Graphics.hpp>

#include <algorithm>
#include <filesystem>
#include <locale>
#include <vector>

#include "core/ConfigTable.h"
#include "core/LogLineBuffer.h"
#include "media/BuiltInFont.h"
#include "media/CellBatch.h"
#include "media/FontCoverage.h"
#include "media/FrameRecord.h"
#include "media/SfmlCompat.h"
#include "platform/AbortReport.h"
#include "platform/BoundedFileRead.h"
#include "platform/DisplayConnection.h"
#include "vintrel/core/Color.h"
#include "vintrel/core/Config.h"
#include "vintrel/core/DataFile.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/core/Text.h"
#include "vintrel/media/SfmlColor.h"

namespace vt {

namespace {

// Rectangles queued by drawRectangle for the one window, as triangles,
// until the next flush draws them in one call.
std::vector<sf::Vertex> g_rectangles;

// Rectangles were queued after everything drawn so far and before the
// characters in the batch: they go first whenever the batch is drawn.
void drawQueuedRectangles(sf::RenderWindow& window) {
    if (g_rectangles.empty())
        return;
    window.draw(g_rectangles.data(), g_rectangles.size(), sf::PrimitiveType::Triangles);
    g_rectangles.clear();
}

void appendQuad(float left, float top, float right, float bottom, sf::Color colour) {
    const sf::Vector2f corners[] = {{left, top}, {right, top},    {right, bottom},
                                    {left, top}, {right, bottom}, {left, bottom}};
    for (const sf::Vector2f& corner : corners)
        g_rectangles.push_back(sf::Vertex{corner, colour, sf::Vector2f()});
}

// Glyphs larger than this would only fill memory with the font's texture.
constexpr float MAX_CHARACTER_SIZE = 1024.0f;
using config::MAX_WINDOW_PIXELS;
// Characters queued without a presentFrame are drawn into the back buffer
// once this many wait, so that a caller drawing without end cannot grow the
// queue without end; the picture is the same.
constexpr std::size_t MAX_QUEUED_CELLS = 1 << 16;
// The font file is read a second time for its character map; larger font
// files are drawn without knowing which characters they lack.
constexpr std::size_t MAX_FONT_BYTES = 64u << 20;
// Texts logged as not UTF-8 are remembered up to this many; later ones are not logged.
constexpr std::size_t MAX_REPORTED_TEXTS = 4096;

std::uint64_t textHash(const std::string& text) {
    std::uint64_t hash = 14695981039346656037u;
    for (const char c : text)
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211u;
    return hash;
}

// Which characters the font has, read from its character map: the font
// file's, or the built-in font's when the file name is empty.
FontCoverage readCoverage(const std::string& font_file) {
    FontCoverage coverage;
    std::string bytes;
    std::string reason;
    if (font_file.empty())
        bytes.assign(reinterpret_cast<const char*>(builtin_font::data()), builtin_font::size());
    else if (platform::readRegularFile(font_file, MAX_FONT_BYTES, &bytes, &reason) != platform::FileRead::OK)
        bytes.clear();
    if (bytes.empty() || !coverage.read(bytes))
        LogManager::getInstance().writeLog(
            1,
            "DisplayManager::startUp(): Warning! No character map read from '%s': characters the font "
            "lacks are drawn as it draws them.",
            clipForLog(font_file).c_str());
    return coverage;
}

// The process's exit code when the window library ends it while the window
// opens: that of a game whose start-up failed.
constexpr int EXIT_WINDOW_LOST = 1;

// Stands in for the window library's error stream while the display is
// started. It is never deleted: that stream is a static of the library's,
// which may write to its buffer while statics are torn down at exit.
LogLineBuffer* g_p_library_errors = nullptr;
bool g_library_errors_logged = false;

} // namespace

DisplayManager::DisplayManager()
    : m_p_font(), m_p_window(), m_window_size{config::defaultNumber("window_horizontal_pixels"),
                                              config::defaultNumber("window_vertical_pixels"),
                                              config::defaultNumber("window_horizontal_chars"),
                                              config::defaultNumber("window_vertical_chars")},
      m_p_batch(), m_fitted_width(0), m_fitted_height(0), m_reported_texts() {
    setType("DisplayManager");
    // Made first, the log outlives this manager at exit.
    LogManager::getInstance();
}

DisplayManager::~DisplayManager() {
    // The library's stream may be gone already: its buffer stays, writing to standard error.
    if (g_library_errors_logged)
        g_p_library_errors->detach();
}

DisplayManager& DisplayManager::getInstance() {
    static DisplayManager display_manager;
    return display_manager;
}

int DisplayManager::startUp() {
    LogManager& log_manager = LogManager::getInstance();
    if (refuseSecondStart())
        return -1;

    const Config& config = Config::getInstance();
    const WindowSize wanted{config.getWindowHorizontalPixels(), config.getWindowVerticalPixels(),
                            config.getWindowHorizontalChars(), config.getWindowVerticalChars()};
    // Every conversion between cells and pixels divides by these.
    if (wanted.horizontal_chars <= 0 || wanted.vertical_chars <= 0 || wanted.horizontal_pixels < 0 ||
        wanted.vertical_pixels < 0 || wanted.horizontal_pixels > MAX_WINDOW_PIXELS ||
        wanted.vertical_pixels > MAX_WINDOW_PIXELS) {
        log_manager.writeLog(
            "DisplayManager::startUp(): Error! Window of %d x %d pixels and %d x %d characters "
            "is not possible.",
            wanted.horizontal_pixels, wanted.vertical_pixels, wanted.horizontal_chars, wanted.vertical_chars);
        return -1;
    }
    m_window_size = wanted;
    logLibraryErrors(true);

    if (config.getHeadless()) {
        log_manager.writeLog(1, "DisplayManager::startUp(): no graphics in headless mode.");
    } else if (openWindow() == -1) {
        logLibraryErrors(false);
        return -1;
    }

    Manager::startUp();
    log_manager.writeLog(5, "DisplayManager::startUp(): successfully started.");
    return 0;
}

int DisplayManager::openWindow() {
    LogManager& log_manager = LogManager::getInstance();
    const Config& config = Config::getInstance();

    // The window library ends the process when it cannot reach a display.
    // The connection stays until the window is there, so that a server
    // with no other client does not reset under the window library's feet.
    platform::DisplayConnection connection;
    if (!connection.open()) {
        log_manager.writeLog(
            "DisplayManager::startUp(): Error! Unable to open a display ('%s'): is an X server "
            "running there and may this user use it? Set DISPLAY, or headless:true.",
            clipForLog(connection.getName()).c_str());
        return -1;
    }
    if (createWindow(connection.getName()) == -1)
        return -1;
    connection.close();

    std::string font_file;
    if (openFont(&font_file) == -1)
        return -1;

    const float product = config.getFontScale() * std::min(cellWidth(), cellHeight());
    // Out-of-range scales (negative, zero, huge or not a number) would make the
    // conversion to a whole size undefined.
    const float clamped = product >= 1.0f ? std::min(product, MAX_CHARACTER_SIZE) : 1.0f;
    if (clamped != product)
        log_manager.writeLog(
            "DisplayManager::startUp(): Warning! Character size %.2f out of range, using %.0f.",
            static_cast<double>(product), static_cast<double>(clamped));
    const auto character_size = static_cast<unsigned>(clamped);

    m_p_batch =
        std::make_unique<CellBatch>(*m_p_font, character_size, cellWidth(), cellHeight(),
                                    colorToSFML(config.getWindowBackgroundColor()), readCoverage(font_file));
    m_p_frame_record = std::make_unique<FrameRecord>();
    m_p_window->clear(m_p_batch->getBackground());
    return 0;
}

// The configured font file, wherever findDataFile finds it. When it is
// nowhere and the configuration leaves font_file at its default, the
// library's own font stands in: a game need not ship one. A font file named
// explicitly, or one that exists but cannot be read, is an error as ever.
// The file opened goes to *p_font_file: empty for the built-in font.
int DisplayManager::openFont(std::string* p_font_file) {
    LogManager& log_manager = LogManager::getInstance();
    const Config& config = Config::getInstance();
    const std::string configured = config.getFontFile();
    const std::string font_file = findDataFile(configured);
    p_font_file->clear();
    m_p_font = std::make_unique<sf::Font>();
    std::error_code error;
    const bool absent = !std::filesystem::exists(font_file, error);
    if (absent && config.getBuiltinFont() &&
        configured == config::TABLE[config::rowOf("font_file")].default_text && builtin_font::size() > 0) {
        log_manager.writeLog("DisplayManager::startUp(): No font file '%s': drawing with the built-in font.",
                             clipForLog(configured).c_str());
        if (sfml::openFontFromMemory(*m_p_font, builtin_font::data(), builtin_font::size()))
            return 0;
        log_manager.writeLog("DisplayManager::startUp(): Error! Unable to open the built-in font.");
        return -1;
    }
    if (!sfml::openFont(*m_p_font, font_file)) {
        log_manager.writeLog("DisplayManager::startUp(): Error! Unable to open font from file '%s'.",
                             clipForLog(configured).c_str());
        return -1;
    }
    *p_font_file = font_file;
    return 0;
}

// Until the window is there, an abort() by the window library (its answer
// to a display it cannot reach) still ends the game with the log's lines
// written, a line saying why and an exit code.
int DisplayManager::createWindow(const std::string& display_name) {
    LogManager& log_manager = LogManager::getInstance();
    const Config& config = Config::getInstance();
    const std::string lost = "DisplayManager::startUp(): Error! The window library gave up opening a "
                             "window on display '" +
                             clipForLog(display_name) + "' and ended the game.";
    const bool flushing = log_manager.getFlush();
    log_manager.setFlush(true);
    const platform::AbortReport report(log_manager.formatLine(lost), log_manager.getFileDescriptor(),
                                       "Vintrel: " + lost + "\n", EXIT_WINDOW_LOST);
    const auto done = [&log_manager, flushing](int result) {
        log_manager.setFlush(flushing);
        return result;
    };

    const sf::VideoMode desktop = sf::VideoMode::getDesktopMode();
    const unsigned desktop_width = sfml::videoModeWidth(desktop);
    const unsigned desktop_height = sfml::videoModeHeight(desktop);
    log_manager.writeLog(5, "DisplayManager::startUp(): window resolution (%d, %d) pixels.",
                         static_cast<int>(desktop_width), static_cast<int>(desktop_height));
    if (m_window_size.horizontal_pixels == 0)
        m_window_size.horizontal_pixels = static_cast<int>(desktop_width);
    if (m_window_size.vertical_pixels == 0)
        m_window_size.vertical_pixels = static_cast<int>(desktop_height);
    if (scaleWindow(desktop_width, desktop_height) == -1)
        return done(-1);

    const sf::VideoMode mode = sfml::makeVideoMode(static_cast<unsigned>(m_window_size.horizontal_pixels),
                                                   static_cast<unsigned>(m_window_size.vertical_pixels), 32);
    m_p_window =
        sfml::makeWindow(mode, sf::String(config.getWindowTitle(), std::locale()),
                         static_cast<std::uint32_t>(config.getWindowStyle()), config.getWindowState());
    if (!m_p_window || !m_p_window->isOpen()) {
        log_manager.writeLog("DisplayManager::startUp(): Unable to allocate window!");
        return done(-1);
    }
    m_p_window->setMouseCursorVisible(config.getShowMouse());
    m_p_window->setVerticalSyncEnabled(true);
    return done(0);
}

int DisplayManager::scaleWindow(unsigned desktop_width, unsigned desktop_height) {
    int scale = Config::getInstance().getWindowScale();
    if (scale == 0 && m_window_size.horizontal_pixels > 0 && m_window_size.vertical_pixels > 0)
        scale =
            static_cast<int>(std::min(desktop_width / static_cast<unsigned>(m_window_size.horizontal_pixels),
                                      desktop_height / static_cast<unsigned>(m_window_size.vertical_pixels)));
    scale = std::max(scale, 1);
    if (scale == 1)
        return 0;
    if (m_window_size.horizontal_pixels > MAX_WINDOW_PIXELS / scale ||
        m_window_size.vertical_pixels > MAX_WINDOW_PIXELS / scale) {
        LogManager::getInstance().writeLog(
            "DisplayManager::startUp(): Error! Window of %d x %d pixels scaled %d times is not possible.",
            m_window_size.horizontal_pixels, m_window_size.vertical_pixels, scale);
        return -1;
    }
    // The cells grow with the window: the grid and the world stay as they are.
    m_window_size.horizontal_pixels *= scale;
    m_window_size.vertical_pixels *= scale;
    LogManager::getInstance().writeLog(
        5, "DisplayManager::startUp(): window scaled %d times to (%d, %d) pixels.", scale,
        m_window_size.horizontal_pixels, m_window_size.vertical_pixels);
    return 0;
}

DisplayManager::Letterbox DisplayManager::letterbox() const {
    Letterbox box{0, 0, m_window_size.horizontal_pixels, m_window_size.vertical_pixels};
    if (!m_p_window)
        return box;
    const sf::Vector2u size = m_p_window->getSize();
    const auto width = static_cast<long long>(size.x);
    const auto height = static_cast<long long>(size.y);
    const long long drawn_width = m_window_size.horizontal_pixels;
    const long long drawn_height = m_window_size.vertical_pixels;
    if (width <= 0 || height <= 0 || drawn_width <= 0 || drawn_height <= 0)
        return box;
    // As large as the window allows without changing the picture's aspect.
    if (width * drawn_height <= height * drawn_width) {
        box.width = static_cast<int>(width);
        box.height = static_cast<int>((2 * width * drawn_height + drawn_width) / (2 * drawn_width));
    } else {
        box.height = static_cast<int>(height);
        box.width = static_cast<int>((2 * height * drawn_width + drawn_height) / (2 * drawn_height));
    }
    box.left = static_cast<int>((width - box.width) / 2);
    box.top = static_cast<int>((height - box.height) / 2);
    return box;
}

void DisplayManager::fitViewToWindow() {
    if (!m_p_window)
        return;
    const sf::Vector2u size = m_p_window->getSize();
    if (static_cast<int>(size.x) == m_fitted_width && static_cast<int>(size.y) == m_fitted_height)
        return;
    m_fitted_width = static_cast<int>(size.x);
    m_fitted_height = static_cast<int>(size.y);
    if (size.x == 0 || size.y == 0)
        return;
    const Letterbox box = letterbox();
    sf::View view(sfml::makeRect(0, 0, static_cast<float>(m_window_size.horizontal_pixels),
                                 static_cast<float>(m_window_size.vertical_pixels)));
    const auto width = static_cast<float>(size.x);
    const auto height = static_cast<float>(size.y);
    view.setViewport(
        sfml::makeRect(static_cast<float>(box.left) / width, static_cast<float>(box.top) / height,
                       static_cast<float>(box.width) / width, static_cast<float>(box.height) / height));
    m_p_window->setView(view);
}

Vector DisplayManager::fromWindowPixels(int x, int y) const {
    const Letterbox box = letterbox();
    if (box.width <= 0 || box.height <= 0)
        return Vector(static_cast<float>(x), static_cast<float>(y));
    return Vector(static_cast<float>(x - box.left) * static_cast<float>(m_window_size.horizontal_pixels) /
                      static_cast<float>(box.width),
                  static_cast<float>(y - box.top) * static_cast<float>(m_window_size.vertical_pixels) /
                      static_cast<float>(box.height));
}

void DisplayManager::releaseWindow() {
    m_p_batch.reset();
    g_rectangles.clear();
    m_p_frame_record.reset();
    m_fitted_width = 0;
    m_fitted_height = 0;
    if (m_p_window) {
        m_p_window->close();
        m_p_window.reset();
    }
    m_p_font.reset();
}

void DisplayManager::logLibraryErrors(bool on) {
    if (on == g_library_errors_logged)
        return;
    if (on) {
        if (g_p_library_errors == nullptr)
            g_p_library_errors = new LogLineBuffer("SFML: ", sf::err().rdbuf());
        sf::err().rdbuf(g_p_library_errors);
    } else {
        g_p_library_errors->finishLine();
        sf::err().rdbuf(g_p_library_errors->getElsewhere());
    }
    g_library_errors_logged = on;
}

void DisplayManager::shutDown() {
    releaseWindow();
    logLibraryErrors(false);
    Manager::shutDown();
    LogManager::getInstance().writeLog(5, "DisplayManager::shutDown(): successfully stopped.");
}

template <typename Character>
int DisplayManager::drawInColor(const Vector& world_pos, Character ch, Color color, float rotation,
                                const Color* p_background) {
    if (isStarted() && !m_p_window)
        return -1;
    // Colours without values of their own draw in white.
    unsigned char r = 255;
    unsigned char g = 255;
    unsigned char b = 255;
    colorToRGB(color, r, g, b);
    return drawInRgb(world_pos, ch, r, g, b, rotation, p_background);
}

template <typename Character>
int DisplayManager::drawInRgb(const Vector& world_pos, Character ch, std::uint8_t r, std::uint8_t g,
                              std::uint8_t b, float rotation, const Color* p_background) {
    if (!isStarted()) {
        LogManager::getInstance().writeLog("%s not started!", getType().c_str());
        return -1;
    }
    if (!m_p_window || !m_p_batch)
        return -1;
    if (m_p_batch->getCellCount() >= MAX_QUEUED_CELLS) {
        drawQueuedRectangles(*m_p_window);
        m_p_batch->flush(*m_p_window);
    }
    const Vector pixels = spacesToPixels(world_pos - m_view_corner);
    const sf::Color color(r, g, b, 255);
    std::size_t queued = m_p_batch->getCellCount();
    if (!m_p_batch->addCell(pixels.getX(), pixels.getY(), ch, color, rotation)) {
        // The masks of drawn characters are full: what is queued is drawn, and they start over.
        drawQueuedRectangles(*m_p_window);
        m_p_batch->flush(*m_p_window, m_p_frame_record.get());
        queued = 0;
        m_p_batch->addCell(pixels.getX(), pixels.getY(), ch, color, rotation);
    }
    // A cell at a place that is no number is not queued: then nothing is painted.
    if (p_background != nullptr && m_p_batch->getCellCount() == queued + 1)
        m_p_batch->paintLastBackground(colorToSFML(*p_background));
    return 0;
}

int DisplayManager::drawCharacter(const Vector& world_pos, char ch, Color color, float rotation) {
    return drawInColor(world_pos, ch, color, rotation);
}

int DisplayManager::drawCharacter(const Vector& world_pos, char ch, std::uint8_t r, std::uint8_t g,
                                  std::uint8_t b, float rotation) {
    return drawInRgb(world_pos, ch, r, g, b, rotation);
}

template <typename CodePoint, IfCodePoint<CodePoint>>
int DisplayManager::drawCharacter(const Vector& world_pos, CodePoint code_point, Color color,
                                  float rotation) {
    return drawInColor(world_pos, code_point, color, rotation);
}

template <typename CodePoint, IfCodePoint<CodePoint>>
int DisplayManager::drawCharacter(const Vector& world_pos, CodePoint code_point, std::uint8_t r,
                                  std::uint8_t g, std::uint8_t b, float rotation) {
    return drawInRgb(world_pos, code_point, r, g, b, rotation);
}

template int DisplayManager::drawCharacter<char32_t>(const Vector&, char32_t, Color, float);
template int DisplayManager::drawCharacter<char32_t>(const Vector&, char32_t, std::uint8_t, std::uint8_t,
                                                     std::uint8_t, float);

int DisplayManager::drawCell(const Vector& world_pos, char32_t ch, Color color, Color background) {
    return drawInColor(world_pos, ch, color, 0.0f, &background);
}

int DisplayManager::drawText(const Vector& world_pos, std::string text, Justification justification,
                             Color color) {
    if (!isStarted()) {
        LogManager::getInstance().writeLog("%s not started!", getType().c_str());
        return -1;
    }
    if (!m_p_window)
        return -1;

    std::u32string cells;
    if (!decodeUtf8(text, cells))
        reportInvalidText(text, cells);
    const int length = static_cast<int>(cells.size());
    float start_x = world_pos.getX();
    if (justification == CENTER)
        start_x -= static_cast<float>(length / 2);
    else if (justification == RIGHT)
        start_x -= static_cast<float>(length);

    unsigned char r = 255;
    unsigned char g = 255;
    unsigned char b = 255;
    colorToRGB(color, r, g, b);
    for (int i = 0; i < length; i++)
        drawCharacter(Vector(start_x + static_cast<float>(i), world_pos.getY()),
                      cells[static_cast<std::size_t>(i)], r, g, b, 0.0f);
    return 0;
}

void DisplayManager::reportInvalidText(const std::string& text, const std::u32string& cells) {
    // A view object draws its text every step: its log line comes once.
    if (m_reported_texts.size() >= MAX_REPORTED_TEXTS)
        return;
    if (!m_reported_texts.insert(textHash(text)).second)
        return;
    LogManager::getInstance().writeLog(
        "DisplayManager::drawText(): Warning! Text is not UTF-8, drawn with U+FFFD where it is not: '%s'.",
        clipForLog(encodeUtf8(cells)).c_str());
    if (m_reported_texts.size() == MAX_REPORTED_TEXTS)
        LogManager::getInstance().writeLog(
            "DisplayManager::drawText(): Warning! %zu texts that are not UTF-8 logged; no more will be.",
            MAX_REPORTED_TEXTS);
}

int DisplayManager::presentFrame() {
    if (!isStarted()) {
        LogManager::getInstance().writeLog("%s not started!", getType().c_str());
        return -1;
    }
    if (!m_p_window || !m_p_batch)
        return -1;
    fitViewToWindow();
    drawQueuedRectangles(*m_p_window);
    m_p_batch->flush(*m_p_window, m_p_frame_record.get());
    m_p_window->display();
    m_p_frame_record->frameShown();
    m_p_window->clear(m_p_batch->getBackground());
    m_p_batch->windowCleared();
    return 0;
}

void DisplayManager::flush() {
    if (m_p_window && m_p_batch) {
        fitViewToWindow();
        drawQueuedRectangles(*m_p_window);
        m_p_batch->flush(*m_p_window, m_p_frame_record.get());
    }
}

int DisplayManager::drawFigure(const sf::CircleShape& figure) {
    if (!m_p_window || !m_p_batch)
        return -1;
    // Characters queued earlier in the step belong beneath the figure.
    flush();
    m_p_window->draw(figure);
    m_p_frame_record->addFigure(figure);
    return 0;
}

int DisplayManager::drawRectangle(const Box& world_box, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                                  std::uint8_t alpha, bool filled) {
    if (!m_p_window || !m_p_batch)
        return -1;
    // Characters queued earlier lie beneath; the rectangles of a frame are
    // drawn together, in one call.
    if (m_p_batch->getCellCount() > 0)
        flush();
    const Vector corner = spacesToPixels(world_box.getCorner() - m_view_corner);
    const Vector size = spacesToPixels(Vector(world_box.getHorizontal(), world_box.getVertical()));
    const float left = corner.getX();
    const float top = corner.getY();
    const float right = left + size.getX();
    const float bottom = top + size.getY();
    const sf::Color colour(r, g, b, alpha);
    if (filled) {
        appendQuad(left, top, right, bottom, colour);
    } else {
        // Four one-pixel strips inside the box.
        appendQuad(left, top, right, top + 1.0f, colour);
        appendQuad(left, bottom - 1.0f, right, bottom, colour);
        appendQuad(left, top + 1.0f, left + 1.0f, bottom - 1.0f, colour);
        appendQuad(right - 1.0f, top + 1.0f, right, bottom - 1.0f, colour);
    }
    return 0;
}

int DisplayManager::redrawLastFrame() {
    if (!m_p_window || !m_p_batch)
        return -1;
    // Queued characters go first, and later ones paint their backgrounds over the frame.
    flush();
    return m_p_frame_record->drawLastFrame(*m_p_window) ? 0 : -1;
}

int DisplayManager::captureFrame(sf::Image& image) {
    if (!m_p_window)
        return -1;
    flush();
    image = sfml::windowToImage(*m_p_window);
    if (image.getSize().x == 0) {
        LogManager::getInstance().writeLog(
            "DisplayManager::captureFrame(): Error! Unable to copy the window.");
        return -1;
    }
    return 0;
}

int DisplayManager::getHorizontalChars() const { return m_window_size.horizontal_chars; }

int DisplayManager::getVerticalChars() const { return m_window_size.vertical_chars; }

int DisplayManager::getHorizontalPixels() const { return m_window_size.horizontal_pixels; }

int DisplayManager::getVerticalPixels() const { return m_window_size.vertical_pixels; }

unsigned DisplayManager::getCharacterSize() const { return m_p_batch ? m_p_batch->getCharacterSize() : 0; }

sf::RenderWindow* DisplayManager::getWindow() const { return m_p_window.get(); }

const sf::Font* DisplayManager::getFont() const { return m_p_font.get(); }

void DisplayManager::setViewCorner(const Vector& view_corner) { m_view_corner = view_corner; }

Vector DisplayManager::getViewCorner() const { return m_view_corner; }

float cellWidth() {
    const DisplayManager& display_manager = DisplayManager::getInstance();
    return static_cast<float>(display_manager.getHorizontalPixels()) /
           static_cast<float>(display_manager.getHorizontalChars());
}

float cellHeight() {
    const DisplayManager& display_manager = DisplayManager::getInstance();
    return static_cast<float>(display_manager.getVerticalPixels()) /
           static_cast<float>(display_manager.getVerticalChars());
}

Vector spacesToPixels(const Vector& spaces) {
    const Vector pixels(spaces.getX() * cellWidth(), spaces.getY() * cellHeight());
    LogManager::getInstance().writeLog(30, "spacesToPixels(int): spaces (%.2f,%.2f) = pixels (%.2f,%.2f)",
                                       static_cast<double>(spaces.getX()), static_cast<double>(spaces.getY()),
                                       static_cast<double>(pixels.getX()),
                                       static_cast<double>(pixels.getY()));
    return pixels;
}

Vector pixelsToSpaces(const Vector& pixels) {
    const Vector spaces(pixels.getX() / cellWidth(), pixels.getY() / cellHeight());
    LogManager::getInstance().writeLog(30, "pixelsToSpaces(): pixels (%.2f,%.2f) = spaces (%.2f,%.2f)",
                                       static_cast<double>(pixels.getX()), static_cast<double>(pixels.getY()),
                                       static_cast<double>(spaces.getX()),
                                       static_cast<double>(spaces.getY()));
    return spaces;
}

} // namespace vt
