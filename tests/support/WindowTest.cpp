#include "support/WindowTest.h"

#include <SFML/Graphics.hpp>

#include <cmath>
#include <filesystem>

#include "media/SfmlCompat.h"
#include "vintrel/media/DisplayManager.h"

// Xlib's macros (None, Status, ...) clash with SFML's names: it comes last.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace vt::test {

namespace {

int ignoreXError(Display*, XErrorEvent*) { return 0; }

} // namespace

std::string testFontSource() { return VINTREL_FONT_FILE; }

std::string wideTestFontSource() { return "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf"; }

std::string windowedConfig() {
    return "headless:false,\nnetworking:false,\nrandom_seed:42,\nwindow_title:VintrelTest,\n";
}

int countPixels(const sf::Image& image, int left, int top, int width, int height, sf::Color color) {
    const auto size = image.getSize();
    int count = 0;
    for (int y = std::max(top, 0); y < top + height && y < static_cast<int>(size.y); y++)
        for (int x = std::max(left, 0); x < left + width && x < static_cast<int>(size.x); x++)
            if (sfml::pixelAt(image, static_cast<unsigned>(x), static_cast<unsigned>(y)) == color)
                count++;
    return count;
}

bool WindowTest::installFont() {
    std::error_code error;
    std::filesystem::copy_file(testFontSource(), dir().file("vt-font.ttf"),
                               std::filesystem::copy_options::overwrite_existing, error);
    return !error;
}

int WindowTest::startWindowedEngine(const std::string& extra_config) {
    if (!installFont()) {
        ADD_FAILURE() << "cannot copy " << testFontSource();
        return -1;
    }
    const int result = startEngine(windowedConfig() + extra_config);
    keepObscuredContent();
    return result;
}

void WindowTest::keepObscuredContent() {
    sf::RenderWindow* p_window = DisplayManager::getInstance().getWindow();
    if (p_window == nullptr)
        return;
    Display* p_display = XOpenDisplay(nullptr);
    if (p_display == nullptr)
        return;
    XSetWindowAttributes attributes{};
    attributes.backing_store = Always;
    XChangeWindowAttributes(p_display, static_cast<::Window>(sfml::nativeHandle(*p_window)), CWBackingStore,
                            &attributes);
    XSync(p_display, False);
    XCloseDisplay(p_display);
}

sf::Image WindowTest::captureBackBuffer() {
    DisplayManager& display_manager = DisplayManager::getInstance();
    display_manager.flush();
    sf::RenderWindow* p_window = display_manager.getWindow();
    if (p_window == nullptr) {
        ADD_FAILURE() << "no window to capture";
        return {};
    }
    return sfml::windowToImage(*p_window);
}

std::string WindowTest::shownTitle() {
    sf::RenderWindow* p_window = DisplayManager::getInstance().getWindow();
    Display* p_display = XOpenDisplay(nullptr);
    if (p_window == nullptr || p_display == nullptr) {
        ADD_FAILURE() << "no window or no X display";
        if (p_display != nullptr)
            XCloseDisplay(p_display);
        return "";
    }
    std::string title;
    char* p_name = nullptr;
    if (XFetchName(p_display, static_cast<::Window>(sfml::nativeHandle(*p_window)), &p_name) != 0 &&
        p_name != nullptr) {
        title = p_name;
        XFree(p_name);
    }
    XCloseDisplay(p_display);
    return title;
}

sf::Image captureWindow(unsigned long window) {
    sf::Image shown;
    Display* p_display = XOpenDisplay(nullptr);
    if (p_display == nullptr) {
        ADD_FAILURE() << "cannot open the X display";
        return shown;
    }
    XSetErrorHandler(ignoreXError);
    const auto handle = static_cast<::Window>(window);
    XWindowAttributes attributes{};
    XImage* p_ximage = nullptr;
    if (XGetWindowAttributes(p_display, handle, &attributes) != 0)
        p_ximage = XGetImage(p_display, handle, 0, 0, static_cast<unsigned>(attributes.width),
                             static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (p_ximage == nullptr) {
        ADD_FAILURE() << "cannot read the window from the X server";
        XCloseDisplay(p_display);
        return shown;
    }
    const auto width = static_cast<unsigned>(attributes.width);
    const auto height = static_cast<unsigned>(attributes.height);
#if SFML_VERSION_MAJOR >= 3
    shown.resize(sf::Vector2u(width, height));
#else
    shown.create(width, height);
#endif
    for (unsigned y = 0; y < height; y++)
        for (unsigned x = 0; x < width; x++) {
            const unsigned long pixel = XGetPixel(p_ximage, static_cast<int>(x), static_cast<int>(y));
            const sf::Color color(static_cast<std::uint8_t>((pixel & p_ximage->red_mask) >> 16),
                                  static_cast<std::uint8_t>((pixel & p_ximage->green_mask) >> 8),
                                  static_cast<std::uint8_t>(pixel & p_ximage->blue_mask));
#if SFML_VERSION_MAJOR >= 3
            shown.setPixel(sf::Vector2u(x, y), color);
#else
            shown.setPixel(x, y, color);
#endif
        }
    XDestroyImage(p_ximage);
    XCloseDisplay(p_display);
    return shown;
}

sf::Image WindowTest::captureShown() {
    sf::RenderWindow* p_window = DisplayManager::getInstance().getWindow();
    if (p_window == nullptr) {
        ADD_FAILURE() << "no window to capture";
        return {};
    }
    // A round trip on the window's own connection: once it returns, the X
    // server has taken every picture the window sent before.
    static_cast<void>(p_window->getPosition());
    return captureWindow(static_cast<unsigned long>(sfml::nativeHandle(*p_window)));
}

int countInCell(const sf::Image& image, int col, int row, sf::Color color) {
    const float width = cellWidth();
    const float height = cellHeight();
    const int left = static_cast<int>(std::ceil(static_cast<float>(col) * width));
    const int right = static_cast<int>(std::ceil(static_cast<float>(col + 1) * width));
    const int top = static_cast<int>(std::ceil(static_cast<float>(row) * height));
    const int bottom = static_cast<int>(std::ceil(static_cast<float>(row + 1) * height));
    return countPixels(image, left, top, right - left, bottom - top, color);
}

} // namespace vt::test
