#include "platform/qt/qtapp.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCursor>
#include <QFont>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QPalette>
#include <QScreen>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <QToolTip>
#include <QTranslator>
#include <QWidget>

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/qt/fontSetUp.h"
#include "platform/rtl/sysutils.h"
#include "platform/user/messages.h"
#include "platform/user/window.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/windowSystem.h"
#include "platform/win/privateFolder.h"
#include "platform/win/wakeHooks.h"

namespace qtbridge {
namespace {

QApplication* g_app = nullptr;
std::map<int, QSocketNotifier*> g_notifiers;

void AddFd(int fd) {
    if (!g_app || g_notifiers.count(fd)) return;
    auto* n = new QSocketNotifier(fd, QSocketNotifier::Read);
    // A process fd stays readable once the process ended; one wake is enough.
    QObject::connect(n, &QSocketNotifier::activated, n, [n] { n->setEnabled(false); });
    g_notifiers[fd] = n;
}

void RemoveFd(int fd) {
    auto it = g_notifiers.find(fd);
    if (it == g_notifiers.end()) return;
    it->second->setEnabled(false);
    it->second->deleteLater();
    g_notifiers.erase(it);
}

// Display and colour changes reach every top-level window, as Windows broadcasts them.
void Broadcast(UINT msg, WPARAM w, LPARAM l) {
    for (HWND h : TopLevelWindows())
        if (IsWindow(h)) SendMessageA(h, msg, w, l);
}

class SystemChangeFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (o == qApp && e->type() == QEvent::ApplicationPaletteChange)
            Broadcast(WM_SYSCOLORCHANGE, 0, 0);
        return false;
    }
};

void WatchDisplay(QScreen* s) {
    if (!s) return;
    QObject::connect(s, &QScreen::geometryChanged, [](const QRect& r) {
        Broadcast(WM_DISPLAYCHANGE, 32, MAKELPARAM_XY(r.width(), r.height()));
    });
}

void Wake() {
    if (auto* d = QAbstractEventDispatcher::instance(g_app ? g_app->thread() : nullptr))
        d->wakeUp();
}

// The Windows faces the forms name, mapped to installed faces of the same kind: a Ming (Song)
// face for 宋体, metric-compatible Latin faces for Arial and friends. Each list ends in faces
// that have every Latin-1 sign and the Chinese characters, for the glyphs the first one lacks.
// Only substitutions are recorded here; the font database is read when text is first drawn.
void MapFonts() {
    const QStringList cjk = {"AR PL UMing CN", "WenQuanYi Zen Hei", "Noto Sans CJK SC"};
    const QStringList song = QStringList{"AR PL UMing CN", "AR PL UMing TW", "Noto Serif CJK SC",
                                         "WenQuanYi Zen Hei", "DejaVu Sans"};
    const QStringList hei = QStringList{"WenQuanYi Zen Hei", "Noto Sans CJK SC", "DejaVu Sans"};
    const QStringList sans = QStringList{"Liberation Sans", "Nimbus Sans", "DejaVu Sans"} + cjk;
    const QStringList wide = QStringList{"DejaVu Sans", "Liberation Sans"} + cjk;
    const QStringList serif = QStringList{"Liberation Serif", "Nimbus Roman", "DejaVu Serif"} + cjk;
    const QStringList mono =
        QStringList{"Liberation Mono", "Nimbus Mono PS", "DejaVu Sans Mono"} + cjk;
    const std::pair<const char*, const QStringList*> faces[] = {
        {"宋体", &song},
        {"SimSun", &song},
        {"新宋体", &song},
        {"NSimSun", &song},
        {"仿宋", &song},
        {"楷体", &song},
        {"黑体", &hei},
        {"SimHei", &hei},
        {"微软雅黑", &hei},
        {"Microsoft YaHei", &hei},
        {"MS Sans Serif", &sans},
        {"Microsoft Sans Serif", &sans},
        {"Arial", &sans},
        {"System", &sans},
        {"MS Shell Dlg", &sans},
        {"MS Shell Dlg 2", &sans},
        {"Tahoma", &wide},
        {"Verdana", &wide},
        {"Times New Roman", &serif},
        {"MS Serif", &serif},
        {"Courier New", &mono},
        {"Courier", &mono},
        {"Fixedsys", &mono},
        {"Terminal", &mono},
        {"Lucida Console", &mono},
    };
    for (const auto& [name, list] : faces)
        QFont::insertSubstitutions(QString::fromUtf8(name), *list);
}

// The program speaks Chinese whatever the system's language, and so do the dialogs the
// toolkit shows for it (file dialogs, its standard buttons): its Chinese translations
// (Debian's qt6-translations-l10n) are loaded. Without them the dialogs stay English.
// The toolkit's own formats (dates and file types in a file list) follow the same language.
void LoadToolkitTranslations() {
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    QLocale::setDefault(chinese);
    auto* translator = new QTranslator(g_app);
    if (translator->load(chinese, "qtbase", "_",
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

// Every list and drop-down selects in the system's highlight colours, the ones the
// controls that draw their own items take (GetSysColor), whether its window is active or
// not, as Windows draws a list's selection.
void UseSystemHighlight() {
    auto colour = [](int index) {
        const COLORREF c = GetSysColor(index);
        return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
    };
    QPalette pal = QApplication::palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::Highlight, colour(COLOR_HIGHLIGHT));
        pal.setColor(group, QPalette::HighlightedText, colour(COLOR_HIGHLIGHTTEXT));
    }
    QApplication::setPalette(pal);
}

// While the program sleeps its windows keep answering exposures: on a screen without a
// compositor a window manager's map or another window moving away asks the program to paint,
// and a sleeping one would leave the place empty. Input and the program's messages wait for
// the sleep to end.
void SleepServingWindows(unsigned ms) {
    if (!g_app || QGuiApplication::platformName() == "offscreen" ||
        QThread::currentThread() != g_app->thread()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return;
    }
    ServeWindowSystem(int(std::min<unsigned>(ms, unsigned(INT_MAX))));
}

}  // namespace

void EnsureGui() {
    if (g_app) return;
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if ((!platform || !*platform) && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Qt wants a private runtime folder; a session without one (a service, CI) gets its own.
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        // In /tmp, not a run's temporary folder: the folder stays for the next start.
        const std::string dir = PrivateFolder("/tmp", "vexomat-runtime");
        if (!dir.empty()) setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
        AddExitProc(&RemoveFreshPrivateFolders);  // Halt ends without the exit handlers
    }
    // The environment is set: fontconfig may read it now, while the application starts.
    StartFontSetUp();
    static int argc = 1;
    static char name[] = "vexomat";
    static char* argv[] = {name, nullptr};
    g_app = new QApplication(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    MapFonts();
    LoadToolkitTranslations();
    UseSystemHighlight();
    g_app->installEventFilter(new SystemChangeFilter(g_app));
    WatchDisplay(QGuiApplication::primaryScreen());
    QObject::connect(g_app, &QGuiApplication::primaryScreenChanged, [](QScreen* s) {
        WatchDisplay(s);
        const QRect r = s ? s->geometry() : QRect();
        Broadcast(WM_DISPLAYCHANGE, 32, MAKELPARAM_XY(r.width(), r.height()));
    });
    InstallWakeHooks(WakeHooks{&AddFd, &RemoveFd, &Wake});
    InstallSleepHook(&SleepServingWindows);
}

bool GuiStarted() { return g_app != nullptr; }

// The window manager pumps this event loop and drives the widgets from the start, before any
// window exists (its waits start the window system), and its clipboard calls reach the
// toolkit's clipboard.
[[maybe_unused]] const bool g_windowDriverInstalled =
    (InstallWindowDriverOfQt(), InstallClipboardDriverOfQt(), true);

bool AnyWakeFdReady() {
    if (g_notifiers.empty()) return false;
    std::vector<pollfd> fds;
    for (auto& [fd, n] : g_notifiers) fds.push_back(pollfd{fd, POLLIN, 0});
    return poll(fds.data(), fds.size(), 0) > 0;
}

void ProcessEvents(bool wait, int timeoutMs) {
    EnsureGui();
    // A registered fd that is ready (a process that ended) is like a signalled handle:
    // the wait returns at once, even when its notification was taken by an earlier pass.
    if (wait && AnyWakeFdReady()) wait = false;
    if (wait) {
        QTimer timer;
        if (timeoutMs >= 0) {
            timer.setSingleShot(true);
            timer.start(timeoutMs);
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void ServeWindowSystem(int timeoutMs, const std::function<bool()>& done) {
    using Clock = std::chrono::steady_clock;
    constexpr auto windowSystemOnly =
        QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (done && done()) return;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return;
        QTimer timer;
        timer.setSingleShot(true);
        timer.start(int(left));
        QCoreApplication::processEvents(windowSystemOnly | QEventLoop::WaitForMoreEvents);
        QCoreApplication::processEvents(windowSystemOnly);
    }
}

int ScreenWidth() {
    EnsureGui();
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().width() : 1024;
}

int ScreenHeight() {
    EnsureGui();
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().height() : 768;
}

std::string PlatformName() {
    EnsureGui();
    return QGuiApplication::platformName().toStdString();
}

}  // namespace qtbridge

// The class library's window-system services (platform/vcl/windowSystem.h).
namespace ws {

void EnsureGui() { qtbridge::EnsureGui(); }
void RequestFontSetUpAhead() { qtbridge::RequestFontSetUpAhead(); }
int ScreenWidth() { return qtbridge::ScreenWidth(); }
int ScreenHeight() { return qtbridge::ScreenHeight(); }

namespace {

// Where the keyboard's keys go: the widget that has the focus, else the active window.
QWidget* KeyTarget() {
    QWidget* target = QApplication::focusWidget();
    if (!target) target = QApplication::activeWindow();
    if (!target) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible()) target = w;
    }
    return target;
}

}  // namespace

void TypeCharacter(const std::string& utf8) {
    EnsureGui();
    QWidget* target = KeyTarget();
    if (!target) return;
    const QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
}

void PressKey(int key, unsigned shift, bool keypad) {
    EnsureGui();
    QWidget* target = KeyTarget();
    if (!target) return;
    int qtKey = 0;
    QString text;
    if (key >= 'A' && key <= 'Z') {
        qtKey = Qt::Key_A + (key - 'A');
        text = QChar((shift & 1) ? key : key + 32);
    } else if (key >= '0' && key <= '9') {
        qtKey = Qt::Key_0 + (key - '0');
        text = QChar(key);
    } else if (key == 13) {
        qtKey = keypad ? Qt::Key_Enter : Qt::Key_Return;
        text = "\r";
    } else if (key == 27) {
        qtKey = Qt::Key_Escape;
    } else if (key == 9) {
        qtKey = Qt::Key_Tab;
        text = "\t";
    } else if (key >= 37 && key <= 40) {  // the arrow keys: left, up, right, down
        qtKey = Qt::Key_Left + (key - 37);
    } else if (key == 32) {
        qtKey = Qt::Key_Space;
        text = " ";
    } else if (key == 35 || key == 36) {
        qtKey = key == 35 ? Qt::Key_End : Qt::Key_Home;
    } else {
        return;
    }
    Qt::KeyboardModifiers mods;
    if (shift & 1) mods |= Qt::ShiftModifier;
    if (shift & 2) mods |= Qt::AltModifier;
    if (shift & 4) mods |= Qt::ControlModifier;
    if (keypad) mods |= Qt::KeypadModifier;
    // Alt and Ctrl combinations carry no text, as the keyboard gives them.
    if (shift & 6) text.clear();
    QKeyEvent press(QEvent::KeyPress, qtKey, mods, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, qtKey, mods, text);
    QApplication::sendEvent(target, &release);
}

void SetAppCursor(int cursor) {
    EnsureGui();
    while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
    switch (cursor) {
        case 0:
            break;
        case -11:
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            break;
        case -21:
            QGuiApplication::setOverrideCursor(Qt::PointingHandCursor);
            break;
        case -4:
            QGuiApplication::setOverrideCursor(Qt::IBeamCursor);
            break;
        case -3:
            QGuiApplication::setOverrideCursor(Qt::CrossCursor);
            break;
        default:
            QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
            break;
    }
}

void HideHint() {
    if (qtbridge::GuiStarted()) QToolTip::hideText();
}

}  // namespace ws
